#!/usr/bin/env bash
# Peak memory and time of `zemtool import-tmx` on Tiled maps that hold far
# more than a map needs, up to the 32 MB a file may have: CSV layers of 4
# (one text just under the longest the reader takes), 20 and 32 MB, and a
# map property of 15 million numbers. Each must be refused with one line.
#
# usage: bench/tmx_limits.sh [BUILD_DIR]
#   BUILD_DIR holds zemtool and zem-sample (default: build-rel).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-rel}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/zem-sample" "$work/ws" >/dev/null
z() { "$build/zemtool" --workspace "$work/ws" "$@"; }
z new 80x80 --tile 1 -o "$work/m.zep"
z export-tmx "$work/m.zep" -o "$work/m.tmx"
python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
src = open(work + "/m.tmx").read()
start = src.index('<data encoding="csv">', src.index('name="tiles"')) + len('<data encoding="csv">')
end = src.index("</data>", start)
for name, size in (("layer4", 4000000), ("layer20", 20 * 1000 * 1000),
                   ("layer32", 32 * 1024 * 1024 - 16)):
    n = (size - (len(src) - (end - start))) // 2
    open("%s/%s.tmx" % (work, name), "w").write(src[:start] + "1," * n + "1" + src[end:])
at = src.index('<property name="PL">') + len('<property name="PL">')
open(work + "/prop15m.tmx", "w").write(src[:at] + "0 " * 15000000 + src[src.index("</property>", at):])
PY
printf '%-10s %10s %8s %12s  %s\n' file bytes seconds "peak KB" message
for f in layer4 layer20 layer32 prop15m; do
  /usr/bin/time -f '%e %M' -o "$work/time" "$build/zemtool" --workspace "$work/ws" \
    import-tmx "$work/$f.tmx" -o "$work/out.zep" 2>"$work/err" && echo "$f: accepted" >&2
  read -r secs kb < <(tail -n 1 "$work/time")
  printf '%-10s %10s %8s %12s  %s\n' "$f" "$(stat -c %s "$work/$f.tmx")" "$secs" "$kb" \
    "$(sed "s|$work/||" "$work/err" | head -c 70)"
done
