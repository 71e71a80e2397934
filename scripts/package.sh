#!/usr/bin/env bash
# Builds the Debian package zem-map: a Release build in build-pkg/, packed by
# CPack into dist/. The path of the package is the last line of the output;
# the build's own messages go to the standard error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# dpkg-buildflags maps the current folder out of the binaries: make it the
# same from wherever this runs, so the flags and the build stay the same.
cd "$root"

# What the build and CPack's dependency scan need (Debian, as root).
pkgs=(cmake make g++ qt6-base-dev dpkg-dev file librsvg2-bin)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >&2
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# Debian's hardening flags; -g is left out, the binaries are stripped anyway.
flags() { dpkg-buildflags --get "$1" | sed -e 's/\(^\| \)-g\( \|$\)/ /g'; }
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
build="$root/build-pkg"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZEM_TESTS=OFF -DZEM_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(flags CXXFLAGS) $(flags CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >&2
cmake --build "$build" -j"$(nproc)" >&2
rm -f "$build"/zem-map_*.deb
(cd "$build" && cpack -G DEB) >&2

mkdir -p "$root/dist"
deb=$(cd "$build" && ls zem-map_*.deb)
rm -f "$root"/dist/zem-map_*.deb
cp "$build/$deb" "$root/dist/$deb"
echo "dist/$deb"
