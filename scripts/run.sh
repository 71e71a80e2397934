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
"$root/build/zem-sample" "$ws" >/dev/null
cd "$ws"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$root/build/ZEMmap" sample.zep
fi

echo "No display found: running the sample pipeline with zemtool instead of the editor."
tool="$root/build/zemtool"
out="$ws/out"
mkdir -p "$out"
"$tool" convert sketch.bmp -o "$out/sketch.zep" --scale 10
"$tool" fix "$out/sketch.zep" coast.txt -o "$out/coast.zep"
"$tool" roads "$out/coast.zep" -o "$out/sample.zep"
"$tool" export-pg2 "$out/sample.zep" --number 67 --out "$out" >/dev/null
"$tool" render "$out/sample.zep" -o "$out/sample.png" --roads
"$tool" strat "$out/sample.zep" -o "$out/sample-strat.png"
echo "Map file:              $out/sample.zep"
echo "Panzer General 2 map:  $out/Map67.map and $out/map6700.bmp .. map6723.bmp"
echo "Whole-map picture:     $out/sample.png"
echo "Strategic overview:    $out/sample-strat.png"
