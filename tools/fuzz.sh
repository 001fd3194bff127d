#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, host) and runs each for the given number of seconds.
# Usage: tools/fuzz.sh [SECONDS]   (make test runs a short bounded round)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
seconds=${1:-30}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 >/dev/null
shopt -s nullglob
targets=("$root"/build/fuzz/*/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then echo "fuzz: no targets"; exit 0; fi
for target in "${targets[@]}"; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$root/build/fuzz/corpus/$name"
  folder=$(basename "$(dirname "$target")")
  mkdir -p "$corpus"
  dirs=("$corpus")
  # Seeds kept in the source tree, and seeds that the build generates (e.g. the carried skins).
  for seeds in "$root/$folder/fuzz_seeds/$name" "$root/build/fuzz/$folder/fuzz_seeds/$name"; do
    [ -d "$seeds" ] && dirs+=("$seeds")
  done
  echo "fuzz: $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 "${dirs[@]}" \
       >"$root/build/fuzz/$name.log" 2>&1; then
    tail -n 40 "$root/build/fuzz/$name.log"
    echo "fuzz: $name FAILED (log: build/fuzz/$name.log)"
    exit 1
  fi
  grep -E "^#[0-9]+.*DONE|Done [0-9]+ runs" "$root/build/fuzz/$name.log" | tail -n 1 || true
done
