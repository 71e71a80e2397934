#!/usr/bin/env bash
# shellcheck disable=SC2046 # $(at X Y) gives xdotool two words, x and y
# The map view driven as a user drives it, on a virtual screen of its own:
# scrolling, zoom, drag painting and its undo, copy and paste through the
# clipboard, fill. Each action is judged by the cells of the map file the
# editor saves (Ctrl+S) after it.
#
# usage: test_gui.sh ZEMMAP ZEMTOOL ZEMSAMPLE
ZEMMAP=$(realpath "$1") ZEMTOOL=$(realpath "$2") ZEMSAMPLE=$(realpath "$3")
source "$(dirname "$0")/gui_lib.sh"

# A plain 40x40 map of tile 1 with a ring of sea (the hexes two steps from
# hex 11,10) around seven hexes of land.
"$ZEMTOOL" new 40x40 --tile 1 -o plain.zep >/dev/null || { echo "FAIL: no map" && exit 1; }
tile=$(awk '/^;tile set pos/ { t = 1; next } t && $2 == 2 && $3 == 1 { print $1; exit }' Mapset.txt)
awk -v T="$tile" '/^;/ { print; next } { n++ }
    n > 2 { k = n - 3; x = k % 40; y = int(k / 40); q = x - 11; r = y - int((x - x % 2) / 2) - 5
            d = (q < 0 ? -q : q) + (r < 0 ? -r : r) + (q + r < 0 ? -q - r : q + r)
            if (d == 4) sub(/^ *[0-9]+ /, sprintf("%3d ", T)) } { print }' plain.zep >m.zep
cp m.zep last.zep
start_editor m.zep
echo "client area ${cw}x$ch at $cx,$cy; sea is tile $tile"

# After the view moved: a click where hex (ox+2, oy+2) was shown tells by how
# much, and the test goes on from the new origin.
view_moved() { # what dx dy ("+" for any step forward)
    act mousemove $(at $((ox + 2)) $((oy + 2))) click 1
    local got dx dy
    got=$(changes)
    [[ $got =~ ^([0-9]+),([0-9]+):$tile$ ]] || { fail "$1: the click changed '$got'" && return; }
    dx=$((BASH_REMATCH[1] - ox - 2)) dy=$((BASH_REMATCH[2] - oy - 2))
    if [[ $2 == + && $dx -gt 0 || $2 == "$dx" ]] && [[ $3 == + && $dy -gt 0 || $3 == "$dy" ]]; then
        echo "ok: $1: the view moved by $dx,$dy"
    else fail "$1: the view moved by $dx,$dy, expected $2,$3"; fi
    ox=$((ox + dx)) oy=$((oy + dy))
}

echo "- scrolling"
act mousemove $(at 1 1) click 1
expect_eq "a click on hex 1,1" "$(changes)" "1,1:$tile"
act mousemove $(at 5 5) click 5
view_moved "the wheel" 0 +
act keydown shift click 5 keyup shift
view_moved "Shift+wheel" + 0
act key Right key Down
view_moved "Right and Down" 1 1
act mousemove $((cx + cw + 6)) $((cy + ch - 6)) click 1 # the vertical bar's down arrow
act mousemove $((cx + cw - 6)) $((cy + ch + 6)) click 1 # the horizontal bar's right arrow
view_moved "the scroll bars' arrows" + +

echo "- a drag across five hexes, quick enough to leave hexes between its moves"
cp last.zep undrawn.zep
act mousemove $(at 5 7) mousedown 1 mousemove $(at 7 7) mousemove $(at 9 7) mouseup 1
expect_eq "the drag" "$(changes)" "5,7:$tile 6,7:$tile 7,7:$tile 8,7:$tile 9,7:$tile"
act key ctrl+z
expect_eq "the hexes one Ctrl+Z leaves changed from before the drag" "$(changes undrawn.zep)" ""

echo "- select 9,8..11,10, Ctrl+C, Ctrl+V, click on 5,10"
act key s mousemove $(at 9 8) mousedown 1 mousemove $(at 10 9) mousemove $(at 11 10) mouseup 1
act key ctrl+c mousemove $(at 5 10) key ctrl+v click 1
cp last.zep before.zep
got=$(changes) # every cell of 5..7,10..12 is now the one of 9..11,8..10
wrong=$(awk 'FNR == 1 { f++; n = 0 } /^;/ { next } { n++ } n <= 2 { next }
    { k = n - 3; x = k % 40; y = int(k / 40) }
    f == 1 { a[x, y] = $0; next }
    { w = (x >= 5 && x <= 7 && y >= 10 && y <= 12) ? a[x + 4, y - 2] : a[x, y] }
    $0 != w { printf "%d,%d ", x, y }' before.zep m.zep)
if [ -z "$wrong" ] && [ -n "$got" ]; then echo "ok: the paste copied every cell exactly ($got)"
else fail "the paste changed '$got'; cells unlike their copies or changed outside: $wrong"; fi

echo "- fill inside the ring"
act key f mousemove $(at 11 10) click 1
expect_eq "the fill" "$(changes)" "11,9:$tile 10,10:$tile 11,10:$tile 12,10:$tile 10,11:$tile 11,11:$tile 12,11:$tile"

echo "- Ctrl+wheel around hex $((ox + 2)),$((oy + 2)), then clicks at 50 %"
hx=$((ox + 2)) hy=$((oy + 2))
act key b mousemove $(at $hx $hy) keydown ctrl click 5 click 5 keyup ctrl click 1
got=$(changes)
[[ $got =~ ^([0-9]+),([0-9]+):$tile$ ]] && zx=${BASH_REMATCH[1]} zy=${BASH_REMATCH[2]}
# The view starts at a whole hex, so the pointer may end on a neighbour.
if [ -n "${zx:-}" ] && ((zx - hx <= 1 && hx - zx <= 1 && zy - hy <= 1 && hy - zy <= 1)); then
    echo "ok: after Ctrl+wheel the click places on $got"
    # Two columns and two rows on at 50 %: 45 and 50 pixels on screen.
    act mousemove_relative 45 50 click 1
    expect_eq "a click 45,50 pixels further at 50 %" "$(changes)" "$((zx + 2)),$((zy + 2)):$tile"
else fail "after Ctrl+wheel on hex $hx,$hy the click changed '$got'"; fi

quit_editor
finish gui
