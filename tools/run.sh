#!/usr/bin/env bash
# Starts the sample keyword service and the tool under Wine on the display (an Xvfb when there is
# none, which tools/winrun says). The tool is built to ask the sample service at
# http://127.0.0.1:18936/word/ unless QUORVANE_SERVICE_BASE was set when configuring.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
port=${QV_SERVICE_PORT:-18936}
run_dir="$root/build/run"
mkdir -p "$run_dir"
cp -f "$root/build/bin/quorvane.exe" "$run_dir/quorvane.exe"

service_pid=
if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  python3 "$root/service/sample_keyword_service.py" --port "$port" 2>"$root/build/sample-service.log" &
  service_pid=$!
  trap '[ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null' EXIT
  sleep 0.5
fi
echo "run: the sample keyword service answers at http://127.0.0.1:$port/word/ (sample data)"
echo "run: type a keyword into the edit box and press 查询; 帮助 shows the help page; Esc closes."
"$here/winrun" "$run_dir/quorvane.exe"
