#!/usr/bin/env bash
# Builds the fuzz harnesses with clang (libFuzzer, AddressSanitizer, UBSan)
# in build-fuzz/ and runs each for SECONDS (default 60), one after another.
# Each run starts from the seed corpus in fuzz/corpus/NAME and keeps what it
# learns in build-fuzz/corpus/NAME; a crash, a sanitizer report or an input
# taking over a second (ten for a whole import) lands in
# build-fuzz/findings/NAME. Copy a finding to fuzz/findings/NAME once it is
# mended: the test command replays it.
#
# usage: scripts/fuzz.sh [SECONDS] [NAME...]
# FUZZ_ARGS adds libFuzzer flags, e.g. FUZZ_ARGS=-runs=10000000 to stop after
# that many executions.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
secs=${1:-60}
shift || true
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(mapfile section catalogue colours template sketch tilebitmaps tmx pg2readers pg2import)

for p in clang libclang-rt-14-dev; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    echo "fuzz.sh needs $p: apt-get install -y --no-install-recommends clang libclang-rt-14-dev" >&2
    exit 1
  fi
done

build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZEM_FUZZ=ON -DZEM_TESTS=OFF -DZEM_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target "${names[@]/#/fuzz_}" >/dev/null

export QT_QPA_PLATFORM=offscreen
# No allocation stacks: recording them costs a third of the speed; replay a
# finding with the regression runner of the test build to get them. No leak
# checks (-detect_leaks=0 below): libFuzzer would run again every input that
# leaves memory to Qt's caches.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:malloc_context_size=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
printf '%-12s %12s %8s %8s %s\n' harness executions cov corpus findings
for name in "${names[@]}"; do
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  mkdir -p "$corpus" "$findings"
  timeout=1
  case $name in
    sketch | tilebitmaps) dict=bitmap.dict maxlen=20000 ;;
    tmx) dict=tmx.dict maxlen=16384 ;;
    pg2readers) dict=bitmap.dict maxlen=40000 ;;
    # A map file of 14561 bytes and a piece; each input a whole import, of
    # about a second under the sanitizers.
    pg2import) dict=bitmap.dict maxlen=100000 timeout=10 ;;
    *) dict=text.dict maxlen=4096 ;;
  esac
  log="$build/$name.log"
  before=$(ls "$findings" | wc -l)
  "$build/fuzz/fuzz_$name" "$corpus" "$root/fuzz/corpus/$name" -dict="$root/fuzz/$dict" \
    -max_total_time="$secs" -timeout="$timeout" -max_len="$maxlen" -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" -print_final_stats=1 -close_fd_mask=1 -detect_leaks=0 ${FUZZ_ARGS:-} >"$log" 2>&1 || true
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo 0)
  new=$(($(ls "$findings" | wc -l) - before))
  [ "$new" -eq 0 ] || status=1
  printf '%-12s %12s %8s %8s %s\n' "$name" "$execs" "$cov" "$(ls "$corpus" | wc -l)" \
    "$new$([ "$new" -eq 0 ] || echo " (see $log)")"
done
exit $status
