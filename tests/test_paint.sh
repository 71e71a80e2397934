#!/usr/bin/env bash
# shellcheck disable=SC2046 # $(at X Y) gives xdotool two words, x and y
# The painting tools driven as a user drives them, on the sample island: a
# road of ten hexes drawn in one drag and taken back by one undo, a brush
# three hexes across, the sea filled by its tile set. Each edit is judged by
# the map file Ctrl+S saves. Then, with Fix Terrain While Painting on, sea
# painted into the island: coast tiles around it, in the same step.
#
# usage: test_paint.sh ZEMMAP ZEMTOOL ZEMSAMPLE
ZEMMAP=$(realpath "$1") ZEMTOOL=$(realpath "$2") ZEMSAMPLE=$(realpath "$3")
source "$(dirname "$0")/gui_lib.sh"

cp sample.zep m.zep && cp m.zep last.zep
mkdir -p "$XDG_CONFIG_HOME/zem-map"
conf="$XDG_CONFIG_HOME/zem-map/ZEM Map.conf"
printf '[General]\nterrainTemplate=%s\nfixTerrainWhilePainting=false\n[tools]\nfillBy=1\n' \
    "$PWD/coast.txt" >"$conf" # Fill by tile set, the sample's coast template
tile() { awk -v P="$1" '/^;tile set pos/ { t = 1; next } t && $2 == 2 && $3 == P { print $1; exit }' Mapset.txt; }
t1=$(tile 1) t2=$(tile 2)
# drag BUTTON X Y X2 Y2 ...: a press on the first hex, the pointer through
# the others (straight, without stops between), a release on the last.
drag() {
    local button=$1 x=$2 y=$3
    shift 3
    act mousemove $(at "$x" "$y") mousedown "$button"
    while (($# >= 2)); do
        xdotool mousemove $(at "$1" "$2") && sleep 0.05
        shift 2
    done
    act mouseup "$button"
}
kinds() { tr ' ' '\n' <<<"$1" | sed 's/.*://' | sort | uniq -c | awk '{ print $2 "x" $1 }' | paste -sd ' '; }

start_editor m.zep
act windowsize "$win" 1500 1150 # the island in view
echo "- a road of ten hexes in one drag (every second hex skipped by the pointer), one undo"
act key d
drag 1 25 3 25 5 25 7 25 9 25 11 25 12
road=$(changes "" 5)
expect_eq "hexes with a road" "$(tr ' ' '\n' <<<"$road" | grep -vc ':0$')" 10
expect_eq "the road's hexes" "$(tr ' ' '\n' <<<"$road" | sed 's/:.*//' | paste -sd ' ')" \
    "$(for y in $(seq 3 12); do printf '25,%d ' "$y"; done | sed 's/ $//')"
act key ctrl+z
expect_eq "after one undo" "$(kinds "$(changes "" 5)")" "0x10"

echo "- the brush three hexes across: 19 hexes of sea in the land"
tw=$(panel "Tile Window")
read -r px py <<<"$(palette "$tw")"
eval "$(xdotool getwindowgeometry --shell --prefix T "$tw")"
act mousemove $((TX + px + 75)) $((TY + py + 50)) click 1 # the second sea tile
act key b key bracketright key bracketright mousemove $(at 20 10) click 1
expect_eq "the hexes the brush painted" "$(kinds "$(changes)")" "${t2}x19"
act key ctrl+z && changes >/dev/null

echo "- Fill by tile set on the sea: every sea hex takes the first sea tile"
act mousemove $((TX + px + 30)) $((TY + py + 25)) click 1
other_sea() { awk -v B="$t2" -v C="$(tile 3)" '/^;/ { next } { n++ } n > 2 && ($1 == B || $1 == C) { c++ } END { print c + 0 }' last.zep; }
sea=$(other_sea)
act key f mousemove $(at 1 1) click 1
expect_eq "the hexes filled" "$(kinds "$(changes)")" "${t1}x$sea"
expect_eq "sea hexes of another sea tile left" "$(other_sea)" 0
quit_editor

echo "- sea painted into the island with Fix Terrain While Painting on: coasts around it"
sed -i 's/^fixTerrainWhilePainting=false/fixTerrainWhilePainting=true/' "$conf"
start_editor m.zep
act windowsize "$win" 1500 1150
tw=$(panel "Tile Window")
eval "$(xdotool getwindowgeometry --shell --prefix T "$tw")"
act mousemove $((TX + px + 75)) $((TY + py + 50)) click 1
act key b mousemove $(at 20 10) click 1 # the brush still three hexes across
painted=$(changes)
coast=$(awk '/^;tile set pos/ { t = 1; next } t && ($2 == 3 || $2 == 4) { print $1 }' Mapset.txt | paste -sd '|')
expect_eq "the brush's middle" "$(tr ' ' '\n' <<<"$painted" | grep '^20,10:')" "20,10:$t2"
(($(tr ' ' '\n' <<<"$painted" | grep -cE ":($coast)\$") > 0)) && echo "ok: coast tiles around the sea" ||
    fail "no coast tile in '$painted'"
expect_eq "hexes beyond two of the brush" "$(tr ' ' '\n' <<<"$painted" |
    awk -F'[,:]' '$1 < 16 || $1 > 24 || $2 < 6 || $2 > 14' | paste -sd ' ')" ""
act key ctrl+z
expect_eq "hexes one undo gives back" "$(wc -w <<<"$(changes)")" "$(wc -w <<<"$painted")"
quit_editor
finish "paint"
