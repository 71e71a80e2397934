#!/usr/bin/env bash
# Times `zemtool render` of an 80x80 sample map against Tiled's tmxrasterizer
# on the same map (BMP and PNG), and the Panzer General 2 export against
# `zemtool info` of the same 44x39 map; prints medians, peak memory and ratios.
#
# usage: bench/compare_tiled.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR holds zemtool and zem-sample (default: build-rel); RUNS is the
#   number of runs of each command (default 7). Needs /usr/bin/time, python3
#   and tmxrasterizer (Debian package tiled).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-rel}" && pwd)
runs=${2:-7}
for tool in /usr/bin/time tmxrasterizer python3; do
  command -v "$tool" >/dev/null || { echo "needs $tool (tiled: apt-get install tiled)" >&2; exit 1; }
done
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ws="$work/ws"
"$build/zem-sample" "$ws" >/dev/null
z() { "$build/zemtool" --workspace "$ws" "$@"; }

# The sample sketch stretched to 400x400 pixels: an 80x80 map at 5 pixels a
# hex, with the sample's coasts and roads.
python3 - "$ws/sketch.bmp" "$work/sketch80.bmp" <<'PY'
import struct, sys
b = open(sys.argv[1], "rb").read()
off = struct.unpack_from("<I", b, 10)[0]
w, h = struct.unpack_from("<ii", b, 18)
s = (w * 3 + 3) & ~3
n = 400
out = bytearray()
for y in range(n):                       # bottom-up, as stored
    sy = y * h // n
    row = b[off + sy * s: off + sy * s + w * 3]
    out += b"".join(row[(x * w // n) * 3:(x * w // n) * 3 + 3] for x in range(n))
hdr = struct.pack("<2sIHHI", b"BM", 54 + len(out), 0, 0, 54)
hdr += struct.pack("<IiiHHIIiiII", 40, n, n, 1, 24, 0, len(out), 3780, 3780, 0, 0)
open(sys.argv[2], "wb").write(hdr + out)
PY
z convert "$work/sketch80.bmp" -o "$work/draft80.zep" --scale 5 --seed 1
z fix "$work/draft80.zep" "$ws/coast.txt" -o "$work/coast80.zep" --seed 1
z roads "$work/coast80.zep" -o "$work/map80.zep"
python3 "$root/bench/make_tmx.py" "$ws" "$work/map80.zep" "$work/map80.tmx"
z convert "$ws/sketch.bmp" -o "$work/draft44.zep" --scale 10 --seed 1
z fix "$work/draft44.zep" "$ws/coast.txt" -o "$work/coast44.zep" --seed 1
z roads "$work/coast44.zep" -o "$work/map44.zep"
mkdir -p "$work/pg2"

# Runs a command RUNS times, interleaved by the caller; appends
# "wall user+sys peakKiB" of each run to the file $1.
timed() {
  local log=$1
  shift
  /usr/bin/time -f "%e %U %S %M" -o "$work/t" "$@" >/dev/null 2>&1
  awk '{ printf "%s %.3f %s\n", $1, $2 + $3, $4 }' "$work/t" >>"$log"
}
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
col() { awk -v c="$2" '{ print $c }' "$1" | median; }
peak() { awk '{ if ($3 > m) m = $3 } END { printf "%.0f", m / 1024 }' "$1"; }

for ((i = 0; i < runs; i++)); do
  for fmt in bmp png; do
    timed "$work/zem-$fmt.log" "$build/zemtool" --workspace "$ws" render "$work/map80.zep" -o "$work/zem.$fmt"
    timed "$work/tiled-$fmt.log" tmxrasterizer "$work/map80.tmx" "$work/tiled.$fmt"
  done
  timed "$work/export.log" "$build/zemtool" --workspace "$ws" export-pg2 "$work/map44.zep" --number 67 --out "$work/pg2"
  timed "$work/info.log" "$build/zemtool" --workspace "$ws" info "$work/map44.zep"
done

echo "80x80 map, $runs runs each, medians (wall s, peak MiB)"
for fmt in bmp png; do
  zw=$(col "$work/zem-$fmt.log" 1)
  tw=$(col "$work/tiled-$fmt.log" 1)
  printf "%s: zemtool render %ss %sMiB, tmxrasterizer %ss %sMiB, ratio %.2f\n" \
    "${fmt^^}" "$zw" "$(peak "$work/zem-$fmt.log")" "$tw" "$(peak "$work/tiled-$fmt.log")" \
    "$(echo "$zw $tw" | awk '{ print ($2 > 0 ? $1 / $2 : 0) }')"
done
ec=$(col "$work/export.log" 2)
ic=$(col "$work/info.log" 2)
printf "export-pg2 44x39: wall %ss cpu %ss; info: wall %ss cpu %ss; export's own cpu %.0f ms\n" \
  "$(col "$work/export.log" 1)" "$ec" "$(col "$work/info.log" 1)" "$ic" \
  "$(echo "$ec $ic" | awk '{ print ($1 - $2) * 1000 }')"
