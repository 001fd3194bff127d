#!/usr/bin/env bash
# Starts the tool under Wine on the display (an Xvfb when there is none, which tools/winrun says).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
run_dir="$root/build/run"
mkdir -p "$run_dir"
cp -f "$root/build/bin/quorvane.exe" "$run_dir/quorvane.exe"
echo "run: starting $run_dir/quorvane.exe"
exec "$here/winrun" "$run_dir/quorvane.exe"
