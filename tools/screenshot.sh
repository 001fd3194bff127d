#!/usr/bin/env bash
# Saves a PNG of the running tool: tools/screenshot.sh [OUT.png] [screenshot.exe options...]
#   e.g. tools/screenshot.sh build/query.png --type 手机 --query --wait 2000
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
out=${1:-$root/build/screenshot.png}
shift || true
bmp=$(mktemp /tmp/quorvane-shot.XXXXXX.bmp)
trap 'rm -f "$bmp"' EXIT
"$here/winrun" "$root/build/bin/screenshot.exe" "Z:${bmp//\//\\}" "$@"
convert "$bmp" "$out"
echo "screenshot: $out"
