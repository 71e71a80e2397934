#!/usr/bin/env bash
# shellcheck disable=SC2046 # $(at X Y) gives xdotool two words, x and y
# The side windows as panels and the program's keys, driven as a user drives
# them on a virtual screen of its own: the Tile Window closed and brought
# back, docked and found docked after a restart; the tool keys, Escape and
# the Select key from inside the panels; a tool that does not outlive a
# described mode. Each edit is judged by the map file Ctrl+S saves.
#
# usage: test_panels.sh ZEMMAP ZEMTOOL ZEMSAMPLE
ZEMMAP=$(realpath "$1") ZEMTOOL=$(realpath "$2") ZEMSAMPLE=$(realpath "$3")
source "$(dirname "$0")/gui_lib.sh"

"$ZEMTOOL" new 40x40 --tile 1 -o m.zep >/dev/null || { echo "FAIL: no map" && exit 1; }
cp m.zep last.zep
tile() { awk -v P="$1" '/^;tile set pos/ { t = 1; next } t && $2 == 2 && $3 == P { print $1; exit }' Mapset.txt; }
t1=$(tile 1) t2=$(tile 2) t3=$(tile 3)
panel() { xdotool search --onlyvisible --name "^$1\$" | head -n 1; }
# The top-left of the tile palette in window $1: the first row and column
# that are grey (the palette's background) for most of their length.
palette() {
    import -window "$1" png:- | convert png:- -fill black +opaque '#808080' txt:- |
        awk -F'[,: ]+' '/#808080/ { r[$2]++; c[$1]++ }
            END { for (y in r) if (r[y] >= 200 && (t == "" || y + 0 < t)) t = y + 0
                  for (x in c) if (c[x] >= 300 && (l == "" || x + 0 < l)) l = x + 0
                  print l, t }'
}
# A menu item by the keyboard: the File menu clicked open, then the keys.
menu() { act mousemove $((X + 15)) $((Y + 8)) click 1 && for k in "$@"; do act key "$k"; done; }

start_editor m.zep
width=$WIDTH
echo "- the Tile Window closed by its close button, back from View > Panels"
tw=$(panel "Tile Window")
[ -n "$tw" ] || fail "no Tile Window at the start"
eval "$(xdotool getwindowgeometry --shell --prefix T "$tw")"
act mousemove $((TX + TWIDTH - 9)) $((TY + 10)) click 1
expect_eq "the Tile Window after its close button" "$(panel "Tile Window")" ""
menu Right Right Up Right Return
tw=$(panel "Tile Window")
[ -n "$tw" ] && echo "ok: View > Panels > Tile Window shows it again" || fail "the Tile Window stays closed"

echo "- a tile clicked in the Tile Window, F, a click on the map: a fill"
read -r px py <<<"$(palette "$tw")"
eval "$(xdotool getwindowgeometry --shell --prefix T "$tw")"
act mousemove $((TX + px + 75)) $((TY + py + 50)) click 1 key f mousemove $(at 5 5) click 1
got=$(changes)
expect_eq "hexes filled with tile $t2" "$(tr ' ' '\n' <<<"$got" | grep -c ":$t2\$")" 1600

echo "- Fill, the Spray Can on and off, a click: one tile"
act mousemove $((TX + px + 120)) $((TY + py + 25)) click 1 # palette position 3
act key a key a mousemove $(at 7 7) click 1
expect_eq "the click after the spray can" "$(changes)" "7,7:$t3"

echo "- docked by a double click on its title, still docked after a restart"
act mousemove $((TX + 40)) $((TY + 8)) click --repeat 2 --delay 80 1
expect_eq "the Tile Window as a window of its own" "$(panel "Tile Window")" ""
quit_editor
start_editor m.zep
expect_eq "the Tile Window after the restart" "$(panel "Tile Window")" ""
((WIDTH >= width + 300)) && echo "ok: the main window holds the docked panel ($WIDTH wide)" ||
    fail "the main window is $WIDTH wide, $width without the panel"

echo "- a paste waiting, the Tile Window focused, Escape: the paste is gone"
read -r px py <<<"$(palette "$win")"
act key s mousemove $(at 5 6) mousedown 1 mousemove $(at 6 6) mouseup 1
act key ctrl+c key b key ctrl+v
act mousemove $((X + px + 100)) $((Y + py - 40)) click 1 # the Tile Set box
act key Escape mousemove $(at 3 3) click 1
expect_eq "a click after Escape" "$(changes)" "3,3:$t1"

echo "- S typed with the terrain picker focused: the Select tool, the terrain as it was"
act key 1
tp=$(panel "Terrain Type 1")
[ -n "$tp" ] || fail "no terrain picker"
eval "$(xdotool getwindowgeometry --shell --prefix T "$tp")"
forest() { act mousemove $((TX + 60)) $((TY + 35 + 14 * 4)) click 1; } # the fifth name: code 4
forest
act mousemove $(at 2 5) click 1
expect_eq "terrain type 1 painted" "$(changes last.zep 2)" "2,5:4"
forest
act key s mousemove $(at 3 3) mousedown 1 mousemove $(at 4 3) mouseup 1 key ctrl+c key b key ctrl+v
act mousemove $(at 1 1) click 1
expect_eq "the hexes pasted by the Select tool's copy" "$(changes)" "1,1:$t1"
quit_editor
finish panels
