#!/usr/bin/env bash
# `make test`: builds and runs every test. The fuzzers get a short bounded round first, then the pure
# code natively under AddressSanitizer and UBSan, then everything cross-built under Wine (unit and
# end-to-end tests). Exits non-zero when anything fails.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
cd "$root"
failed=()

step() {
  local name=$1
  shift
  echo "== $name"
  "$@" || failed+=("$name")
}

step "fuzz (bounded)" bash tools/fuzz.sh "${QV_FUZZ_SECONDS:-20}"
step "native configure" cmake --preset native
step "native build" cmake --build --preset native -j2
step "native tests" ctest --preset native
step "windows configure" cmake --preset windows
step "windows build" cmake --build --preset windows -j2
step "windows tests" ctest --preset windows
bash tools/stop-wine

if [ ${#failed[@]} -gt 0 ]; then
  echo "make test: failed: ${failed[*]}"
  exit 1
fi
