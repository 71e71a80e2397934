#!/usr/bin/env bash
# Checks the Debian package as a user gets it, without installing it:
# unpacked into a temporary root, its files, its programs, and the launcher
# starting the editor (offscreen) in a fresh home folder. lintian and
# desktop-file-validate run when they are installed.
#
# usage: check_package.sh PACKAGE.deb
set -uo pipefail
deb=$(readlink -f "$1")

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

tmp=$(mktemp -d)
editor_pid=
cleanup() {
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zem-map ] || fail "package name $(field Package)"
version=$(field Version)
case $(field Depends) in
*libqt6widgets6*libstdc++6*) ;;
*) fail "dependencies not computed from the programs: $(field Depends)" ;;
esac

root=$tmp/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
usr=$root/usr

# The files, and nothing outside /usr.
expected="usr/bin/ZEMmap
usr/bin/zem-map
usr/bin/zem-sample
usr/bin/zemtool
usr/share/applications/zem-map.desktop
usr/share/doc/zem-map/changelog.gz
usr/share/doc/zem-map/copyright"
for size in 16 22 24 32 48 64 128 256; do
    expected+=$'\n'"usr/share/icons/hicolor/${size}x${size}/apps/zem-map.png"
done
expected+="
usr/share/icons/hicolor/scalable/apps/zem-map.svg
usr/share/man/man1/ZEMmap.1.gz
usr/share/man/man1/zem-map.1.gz
usr/share/man/man1/zem-sample.1.gz
usr/share/man/man1/zemtool.1.gz
usr/share/mime/packages/zem-map.xml"
actual=$(cd "$root" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$(printf '%s\n' "$expected" | LC_ALL=C sort)" ] ||
    fail "file list differs:"$'\n'"$(diff <(printf '%s\n' "$expected" | LC_ALL=C sort) <(echo "$actual"))"

for prog in ZEMmap zemtool zem-sample; do
    case $(file -b "$usr/bin/$prog") in
    ELF*", stripped"*) ;;
    *) fail "$prog is not a stripped program: $(file -b "$usr/bin/$prog")" ;;
    esac
done
for size in 16 48 256; do
    case $(file -b "$usr/share/icons/hicolor/${size}x${size}/apps/zem-map.png") in
    "PNG image data, $size x $size,"*) ;;
    *) fail "icon ${size}x$size: $(file -b "$usr/share/icons/hicolor/${size}x${size}/apps/zem-map.png")" ;;
    esac
done
# The licence, in Debian's machine-readable form.
grep -q '^License: GPL-3+$' "$usr/share/doc/zem-map/copyright" || fail "copyright names no GPL-3+ licence"
# The changelog's newest entry is this version.
top=$(gzip -dc "$usr/share/doc/zem-map/changelog.gz" | head -n 1)
case $top in
"zem-map ($version) "*) ;;
*) fail "changelog starts with '$top', the package is $version" ;;
esac
for page in zem-map zemtool zem-sample ZEMmap; do
    gzip -t "$usr/share/man/man1/$page.1.gz" 2>/dev/null ||
        [ "$(readlink "$usr/share/man/man1/$page.1.gz")" = zem-map.1.gz ] ||
        fail "man page $page"
done
if command -v man >/dev/null; then
    for page in zem-map zemtool zem-sample; do
        warnings=$(MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man -l $page: $warnings"
    done
fi

# The programs answer --version with the package's version, anywhere.
for prog in zemtool ZEMmap; do
    out=$(cd "$tmp" && env -u DISPLAY -u QT_QPA_PLATFORM "$usr/bin/$prog" --version)
    [ "$out" = "$prog (ZEM Map) $version" ] || fail "$prog --version printed '$out'"
done

# The launcher, as the desktop menu starts it: in a home folder without a
# workspace, with a map file to open. The editor must be running in the new
# workspace a few seconds later.
home=$tmp/home
mkdir -p "$home/maps"
export PATH=$usr/bin:$PATH QT_QPA_PLATFORM=offscreen
unset XDG_DATA_HOME
ws=$home/.local/share/zem-map/workspace
start_editor() {
    (cd "$home" && exec env HOME="$home" zem-map "$@") >"$tmp/editor.log" 2>&1 &
    editor_pid=$!
    sleep 4
    if ! kill -0 "$editor_pid" 2>/dev/null; then
        fail "the editor is not running: $(cat "$tmp/editor.log")"
        editor_pid=
        return
    fi
    [ "$(readlink "/proc/$editor_pid/cwd")" = "$ws" ] ||
        fail "the editor runs in $(readlink "/proc/$editor_pid/cwd"), not the workspace"
    cmdline=$(tr '\0' ' ' <"/proc/$editor_pid/cmdline")
    kill "$editor_pid"
    wait "$editor_pid" 2>/dev/null
    editor_pid=
}
start_editor
for f in Mapset.txt Gmap.txt coast.txt sketch.bmp tilbmp/til0000.bmp; do
    [ -f "$ws/$f" ] || fail "workspace file $f missing"
done
# A map made with the unpacked zemtool, opened through the launcher by a
# name relative to the home folder; the user's own catalogue stays.
zemtool --workspace "$ws" new 10x8 --tile 1 -o "$home/maps/first.zep" >/dev/null ||
    fail "zemtool new"
echo "; my own line" >>"$ws/Mapset.txt"
cp "$ws/Mapset.txt" "$tmp/mapset.mine"
start_editor maps/first.zep
[ "$cmdline" = "$usr/bin/ZEMmap $home/maps/first.zep " ] || fail "the editor was started as '$cmdline'"
cmp -s "$ws/Mapset.txt" "$tmp/mapset.mine" || fail "the second start wrote over Mapset.txt"

if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$usr/share/applications/zem-map.desktop" 2>&1)
    [ -z "$out" ] || fail "desktop-file-validate: $out"
fi
if command -v update-mime-database >/dev/null; then
    cp -r "$usr/share/mime" "$tmp/mime"
    XDG_DATA_DIRS=$tmp update-mime-database "$tmp/mime" 2>"$tmp/mime.err" || fail "update-mime-database"
    [ -s "$tmp/mime.err" ] && fail "update-mime-database: $(cat "$tmp/mime.err")"
    grep -q '^50:application/x-zem-map:\*\.zep$' "$tmp/mime/globs2" ||
        fail "*.zep is not application/x-zem-map"
fi
if command -v lintian >/dev/null; then
    report=$(lintian --no-override "$deb" 2>&1 | grep -v '^running with root privileges')
    [ -n "$report" ] && echo "lintian: $report"
    grep -q '^E:' <<<"$report" && fail "lintian reports errors"
fi

if [ $failures -gt 0 ]; then
    echo "package check: $failures failure(s)"
    exit 1
fi
echo "package check: $(basename "$deb") passed"
