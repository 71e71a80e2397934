# shellcheck shell=bash disable=SC2046 # $(at X Y) gives xdotool two words, x and y
# What the tests that drive the editor on a virtual screen share: the screen,
# starting and ending the editor, where its map picture lies, and the cells
# of the map file the editor saves (Ctrl+S) after an action.
#
# Sourced with ZEMMAP, ZEMTOOL and ZEMSAMPLE set; gives $tmp (removed at the
# end) and the sample workspace $tmp/ws as the current folder.
set -uo pipefail
for t in Xvfb xdotool import convert; do
    command -v $t >/dev/null || { echo "FAIL: $t is not installed" && exit 1; }
done

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
expect_eq() { # what got expected
    local got=$2
    ((${#got} > 300)) && got="${got:0:300}... ($(wc -w <<<"$2") in all)"
    if [ "$2" = "$3" ]; then echo "ok: $1"; else fail "$1: got '$got', expected '$3'"; fi
}

tmp=$(mktemp -d)
app='' xvfb=''
trap '[ -n "$app" ] && kill $app 2>/dev/null; [ -n "$xvfb" ] && kill $xvfb; rm -rf "$tmp"' EXIT
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || { echo "FAIL: Xvfb did not start: $(cat "$tmp/xvfb.log")" && exit 1; }
DISPLAY=:$(head -n 1 "$tmp/display")
export DISPLAY XDG_CONFIG_HOME=$tmp/config XDG_RUNTIME_DIR=$tmp/run
unset QT_QPA_PLATFORM
mkdir -m 700 "$tmp/run"
if ! "$ZEMSAMPLE" "$tmp/ws" >/dev/null || ! cd "$tmp/ws"; then
    echo "FAIL: no sample workspace" && exit 1
fi

# start_editor FILE.zep: the editor on the map, its window $win, and its
# client area's top-left (cx, cy) and size (cw, ch) found by the maroon
# scroll zones (x 5..CW-5, y 16..CH-5).
start_editor() {
    (exec "$ZEMMAP" "$1" >>"$tmp/app.log" 2>&1) &
    app=$!
    win=$(timeout 30 xdotool search --sync --onlyvisible --name "^ZEM Map - ${1//./\\.}\$" | head -n 1)
    [ -n "$win" ] || { echo "FAIL: no window 'ZEM Map - $1' ($(cat "$tmp/app.log"))" && exit 1; }
    eval "$(xdotool getwindowgeometry --shell "$win")"
    local box
    for _ in $(seq 50); do
        box=$(import -window "$win" png:- | convert png:- -fill black +opaque '#800000' \
            -fill white -opaque '#800000' -format '%@' info:)
        [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && ((BASH_REMATCH[1] > 300)) && break
        sleep 0.1
    done
    ((${BASH_REMATCH[1]:-0} > 300)) || { echo "FAIL: no scroll zones on screen ($box)" && exit 1; }
    cw=$((BASH_REMATCH[1] + 10)) ch=$((BASH_REMATCH[2] + 21))
    cx=$((X + BASH_REMATCH[3] - 5)) cy=$((Y + BASH_REMATCH[4] - 16))
    ox=0 oy=0
    focus_editor
}
# With no window manager, a click gives a window the keyboard: one on the
# main window's client area beside the map picture and the scroll zones.
focus_editor() { act mousemove $((cx + 20)) $((cy + 60)) click 1; }
# Ctrl+Q, and the editor's exit status checked.
quit_editor() {
    focus_editor
    act key ctrl+q
    for _ in $(seq 50); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
    if kill -0 $app 2>/dev/null; then fail "Ctrl+Q did not end the editor"; else
        wait $app
        expect_eq "the editor's exit status" $? 0
        app=''
    fi
}
finish() {
    if [ $failures -gt 0 ]; then
        echo "$failures failure(s); the editor said: $(cat "$tmp/app.log")"
        exit 1
    fi
    echo "$1: all passed"
}

# at X Y: a point of map hex (X, Y) at 100 %, inside it for either column.
at() { echo $((cx + 35 + 45 * ($1 - ox) + 30)) $((cy + 40 + 50 * ($2 - oy) + 37)); }
act() { xdotool "$@" && sleep 0.25; }
# The cells changed since the last call, as "x,y:tile ...", after a save of
# m.zep; with FIELD, that field of the cell line (1: the tile).
changes() { # [BEFORE [FIELD]]
    local was
    was=$(stat -c %i:%z m.zep)
    xdotool key ctrl+s
    for _ in $(seq 100); do [ "$(stat -c %i:%z m.zep)" != "$was" ] && break; sleep 0.05; done
    [ "$(stat -c %i:%z m.zep)" != "$was" ] || echo "(Ctrl+S saved nothing)"
    awk -v F="${2:-1}" 'FNR == 1 { f++; n = 0 } /^;/ { next } { n++ } n == 1 { w = $1 } n <= 2 { next }
         f == 1 { a[n] = $0; next } a[n] != $0 { k = n - 3; print k % w "," int(k / w) ":" $F }' \
        "${1:-last.zep}" m.zep | sort -t, -k2n -k1n | paste -sd ' '
    cp m.zep last.zep
}
