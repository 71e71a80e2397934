#!/usr/bin/env bash
# Installs what the build, the editor and the tests need (Debian, as root).
# Quiet when everything is present already.
set -euo pipefail
pkgs=(cmake make g++ qt6-base-dev zlib1g-dev libpng-dev libgtest-dev libbenchmark-dev tiled
      dpkg-dev file librsvg2-bin desktop-file-utils xvfb xdotool imagemagick)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
