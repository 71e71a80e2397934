#!/usr/bin/env bash
# Builds the editor, writes the sample workspace and starts the editor in it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DZEM_TESTS=OFF -DZEM_BENCH=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target ZEMmap zem-sample zemtool >/dev/null
ws="$root/workspace"
"$root/build/zem-sample" "$ws" >/dev/null
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: the editor needs a graphical session (DISPLAY is not set)." >&2
  exit 1
fi
cd "$ws"
exec "$root/build/ZEMmap"
