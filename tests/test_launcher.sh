#!/usr/bin/env bash
# The launcher zem-map and the version lines of the programs, as a user meets
# them: where the editor starts, what it is given, which files get written.
#
# usage: test_launcher.sh LAUNCHER ZEMMAP ZEMTOOL ZEMSAMPLE VERSION
set -uo pipefail
launcher=$1 zemmap=$2 zemtool=$3 sample=$4 version=$5

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
expect_eq() { # what got expected
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# --version: one line naming ZEM Map and the version, with no display and
# no workspace at hand.
mkdir "$tmp/empty"
for prog in "$zemmap" "$zemtool"; do
    out=$(cd "$tmp/empty" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        "$prog" --version 2>"$tmp/err")
    code=$?
    expect_eq "$prog --version exit status" "$code" 0
    expect_eq "$prog --version lines" "$(printf '%s\n' "$out" | wc -l)" 1
    case $out in
    *"ZEM Map"*"$version"*) ;;
    *) fail "$prog --version printed '$out'" ;;
    esac
    [ -s "$tmp/err" ] && fail "$prog --version wrote to stderr: $(cat "$tmp/err")"
done
out=$(cd "$tmp/empty" && env -u DISPLAY -u QT_QPA_PLATFORM "$zemmap" --help)
expect_eq "ZEMmap --help exit status" $? 0
case $out in "usage: ZEMmap"*) ;; *) fail "ZEMmap --help printed '$out'" ;; esac

# The launcher beside a stand-in editor that records where it was started
# and with what, and the real zem-sample.
bin=$tmp/bin
mkdir "$bin"
cp "$launcher" "$bin/zem-map"
ln -s "$sample" "$bin/zem-sample"
cat >"$bin/ZEMmap" <<'EOF'
#!/bin/sh
{
    pwd
    for a in "$@"; do echo "arg:$a"; done
} >"$ZEM_TEST_LOG"
EOF
chmod +x "$bin/ZEMmap" "$bin/zem-map"
export ZEM_TEST_LOG=$tmp/log

# launch DIR COMMAND...: runs the command in DIR with a fresh log.
launch() {
    local dir=$1
    shift
    rm -f "$ZEM_TEST_LOG"
    (cd "$dir" && "$@") >"$tmp/out" 2>"$tmp/err"
    code=$?
}
started() { # what expected-folder [expected-arguments...]
    local what=$1 dir=$2
    shift 2
    expect_eq "$what: exit status" "$code" 0
    [ -f "$ZEM_TEST_LOG" ] || {
        fail "$what: the editor did not start ($(cat "$tmp/err"))"
        return
    }
    local want=$dir
    for a in "$@"; do want=$want$'\n'"arg:$a"; done
    expect_eq "$what: folder and arguments" "$(cat "$ZEM_TEST_LOG")" "$want"
}

# First start from a folder without a catalogue: the sample workspace is
# written under the home folder and the map file is passed made absolute.
home=$tmp/home
mkdir -p "$home" "$tmp/here/maps"
ws=$home/.local/share/zem-map/workspace
launch "$tmp/here" env -u XDG_DATA_HOME HOME="$home" "$bin/zem-map" maps/a.zep
started "first start" "$ws" "$tmp/here/maps/a.zep"
for f in Mapset.txt Gmap.txt coast.txt sketch.bmp tilbmp/til0000.bmp tilbmp/tilmark.bmp; do
    [ -f "$ws/$f" ] || fail "first start: $f not written"
done
leftovers=$(find "$home/.local/share/zem-map" -mindepth 1 -maxdepth 1 ! -name workspace)
expect_eq "first start: nothing beside the workspace" "$leftovers" ""

# Later starts write nothing: an edited catalogue stays, a removed sketch
# stays removed. An absolute map file is passed as it is.
echo "; my own tiles" >>"$ws/Mapset.txt"
cp "$ws/Mapset.txt" "$tmp/mapset.mine"
rm "$ws/sketch.bmp"
launch "$tmp/here" env -u XDG_DATA_HOME HOME="$home" "$bin/zem-map" "$tmp/b c.zep"
started "second start" "$ws" "$tmp/b c.zep"
cmp -s "$ws/Mapset.txt" "$tmp/mapset.mine" || fail "second start: Mapset.txt written over"
[ -e "$ws/sketch.bmp" ] && fail "second start: sketch.bmp written again"

# A workspace that lost its catalogue gets the missing files back and keeps
# the ones that are there.
rm "$ws/Mapset.txt"
echo "my colours" >"$ws/Gmap.txt"
launch "$tmp/here" env -u XDG_DATA_HOME HOME="$home" "$bin/zem-map"
started "catalogue lost" "$ws"
[ -f "$ws/Mapset.txt" ] || fail "catalogue lost: Mapset.txt not written"
[ -f "$ws/sketch.bmp" ] || fail "catalogue lost: sketch.bmp not written"
expect_eq "catalogue lost: Gmap.txt" "$(cat "$ws/Gmap.txt")" "my colours"

# XDG_DATA_HOME places the workspace; a relative one is ignored.
launch "$tmp/here" env HOME="$home" XDG_DATA_HOME="$tmp/xdg" "$bin/zem-map"
started "XDG_DATA_HOME" "$tmp/xdg/zem-map/workspace"
launch "$tmp/here" env HOME="$home" XDG_DATA_HOME=xdg "$bin/zem-map"
started "relative XDG_DATA_HOME" "$ws"
[ -e "$tmp/here/xdg" ] && fail "relative XDG_DATA_HOME: used"

# A workspace that is a symbolic link or another user's folder, a relative
# HOME, a folder that cannot be made: one line naming it, nothing started,
# nothing written through the link.
refused() { # what expected-text
    expect_eq "$1: exit status" "$code" 1
    [ -f "$ZEM_TEST_LOG" ] && fail "$1: the editor started"
    expect_eq "$1: lines on stderr" "$(wc -l <"$tmp/err")" 1
    grep -qF "$2" "$tmp/err" || fail "$1: said '$(cat "$tmp/err")'"
}
mkdir -p "$tmp/lnk/zem-map" "$tmp/elsewhere"
ln -s "$tmp/elsewhere" "$tmp/lnk/zem-map/workspace"
launch "$tmp/here" env XDG_DATA_HOME="$tmp/lnk" "$bin/zem-map"
refused "linked workspace" "$tmp/lnk/zem-map/workspace is a symbolic link"
expect_eq "linked workspace: files written" "$(ls -A "$tmp/elsewhere")" ""
# A workspace without its catalogue whose picture folder links elsewhere:
# the launcher and zem-sample write nothing through the link.
mkdir -p "$tmp/lnk2/zem-map/workspace" "$tmp/tiles"
ln -s "$tmp/tiles" "$tmp/lnk2/zem-map/workspace/tilbmp"
launch "$tmp/here" env XDG_DATA_HOME="$tmp/lnk2" "$bin/zem-map"
refused "linked picture folder" "$tmp/lnk2/zem-map/workspace/tilbmp is a symbolic link"
"$sample" "$tmp/lnk2/zem-map/workspace" >/dev/null 2>&1
expect_eq "linked picture folder: zem-sample's exit status" $? 2
expect_eq "linked picture folder: files written" "$(ls -A "$tmp/tiles")" ""
if [ "$(id -u)" -eq 0 ]; then
    mkdir -p "$tmp/theirs/zem-map"
    chown 65534 "$tmp/theirs/zem-map"
    launch "$tmp/here" env XDG_DATA_HOME="$tmp/theirs" "$bin/zem-map"
    refused "another user's folder" "$tmp/theirs/zem-map belongs to another user"
else
    echo "skipped: another user's workspace folder needs root to make"
fi
launch "$tmp/here" env -u XDG_DATA_HOME HOME=home "$bin/zem-map"
refused "relative HOME" "HOME is home, not an absolute path"
echo "a file" >"$tmp/plain"
launch "$tmp/here" env XDG_DATA_HOME="$tmp/plain/data" "$bin/zem-map"
refused "folder in a file" "zem-map: cannot make the folder $tmp/plain/data/zem-map: Not a directory"

# The sample writer, as scripts/run.sh runs it on every start, only adds
# what is missing: a map saved into the workspace stays byte for byte.
"$sample" "$tmp/run" >/dev/null || fail "sample workspace not written"
echo "; my map" >>"$tmp/run/sample.zep"
echo "; my tiles" >>"$tmp/run/Mapset.txt"
cp "$tmp/run/sample.zep" "$tmp/run/Mapset.txt" "$tmp"
rm "$tmp/run/sketch.bmp"
"$sample" "$tmp/run" >/dev/null || fail "sample workspace not written again"
cmp -s "$tmp/run/sample.zep" "$tmp/sample.zep" || fail "second sample run: sample.zep written over"
cmp -s "$tmp/run/Mapset.txt" "$tmp/Mapset.txt" || fail "second sample run: Mapset.txt written over"
[ -f "$tmp/run/sketch.bmp" ] || fail "second sample run: sketch.bmp not written"

# zem-sample's usage for --help and for an option it does not know, never a
# workspace in a folder named after the option.
out=$(cd "$tmp/empty" && "$sample" --help)
expect_eq "zem-sample --help exit status" $? 0
case $out in "usage: zem-sample DIR"*) ;; *) fail "zem-sample --help printed '$out'" ;; esac
(cd "$tmp/empty" && "$sample" --bogus) >/dev/null 2>"$tmp/err"
expect_eq "zem-sample --bogus exit status" $? 1
grep -q "usage: zem-sample" "$tmp/err" || fail "zem-sample --bogus said '$(cat "$tmp/err")'"
expect_eq "zem-sample options: files" "$(ls -A "$tmp/empty")" ""

# A folder holding a catalogue (in any case) is where the editor starts;
# nothing is written anywhere.
mkdir -p "$tmp/own" "$tmp/home2"
echo ";" >"$tmp/own/MAPSET.TXT"
launch "$tmp/own" env -u XDG_DATA_HOME HOME="$tmp/home2" "$bin/zem-map" x.zep
started "own folder" "$tmp/own" "$tmp/own/x.zep"
expect_eq "own folder: files" "$(cd "$tmp" && find own home2 -mindepth 1)" "own/MAPSET.TXT"

# Found through PATH when not beside the launcher.
mkdir "$tmp/solo"
cp "$launcher" "$tmp/solo/zem-map"
launch "$tmp/own" env PATH="$bin:$PATH" sh "$tmp/solo/zem-map"
started "through PATH" "$tmp/own"

# No editor anywhere: a message, not silence.
mkdir "$tmp/tools"
for c in dirname readlink mktemp mkdir mv find rm; do ln -s "$(command -v $c)" "$tmp/tools/$c"; done
launch "$tmp/own" env PATH="$tmp/tools" /bin/sh "$tmp/solo/zem-map"
expect_eq "no editor: exit status" "$code" 1
grep -q "cannot find the program ZEMmap" "$tmp/err" || fail "no editor: said '$(cat "$tmp/err")'"

# Wrong usage starts nothing.
for args in "a.zep b.zep" "--bogus"; do
    # shellcheck disable=SC2086
    launch "$tmp/own" "$bin/zem-map" $args
    expect_eq "zem-map $args: exit status" "$code" 1
    [ -f "$ZEM_TEST_LOG" ] && fail "zem-map $args: the editor started"
    grep -q "usage: zem-map" "$tmp/err" || fail "zem-map $args: no usage"
done
launch "$tmp/own" "$bin/zem-map" -- -x.zep
started "after --" "$tmp/own" "$tmp/own/-x.zep"

if [ $failures -gt 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "launcher: all passed"
