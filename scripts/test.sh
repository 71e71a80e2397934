#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan and runs the whole test
# suite on Qt's offscreen platform; then builds the Debian package and checks
# it unpacked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
build="$root/build-test"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DZEM_SANITIZE=ON -DZEM_BENCH=ON -DZEM_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build" && ctest --output-on-failure -j"$(nproc)"
deb=$(bash "$root/scripts/package.sh" | tail -n 1)
bash "$root/tests/check_package.sh" "$root/$deb"
