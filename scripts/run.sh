#!/usr/bin/env bash
# Builds the editor, writes the sample workspace and starts the editor in it.
# Without a display it runs the sample pipeline with zemtool instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DZEM_TESTS=OFF -DZEM_BENCH=OFF >/dev/null
echo "Building ZEM Map (a few minutes the first time)..."
cmake --build "$root/build" -j"$(nproc)" --target ZEMmap zem-sample zemtool
ws="$root/workspace"
# Only missing files are written: a map saved into the workspace stays.
"$root/build/zem-sample" "$ws" >/dev/null
cd "$ws"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$root/build/ZEMmap" sample.zep
fi

echo "No display found: running the sample pipeline with zemtool instead of the editor."
tool="$root/build/zemtool"
out="$ws/out"
# The pipeline runs in a folder of its own; its files join out/ only where
# none of that name lies yet.
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT
"$tool" convert sketch.bmp -o "$fresh/sketch.zep" --scale 10
"$tool" fix "$fresh/sketch.zep" coast.txt -o "$fresh/coast.zep"
"$tool" roads "$fresh/coast.zep" -o "$fresh/sample.zep"
"$tool" export-pg2 "$fresh/sample.zep" --number 67 --out "$fresh" >/dev/null
"$tool" render "$fresh/sample.zep" -o "$fresh/sample.png" --roads
"$tool" strat "$fresh/sample.zep" -o "$fresh/sample-strat.png"
mkdir -p "$out"
kept=0
for f in "$fresh"/*; do
  if [ -e "$out/${f##*/}" ]; then kept=$((kept + 1)); else mv "$f" "$out/"; fi
done
echo "Map file:              $out/sample.zep"
echo "Panzer General 2 map:  $out/Map67.map and $out/map6700.bmp .. map6723.bmp"
echo "Whole-map picture:     $out/sample.png"
echo "Strategic overview:    $out/sample-strat.png"
[ "$kept" -eq 0 ] || echo "($kept files already in $out were kept as they were.)"
