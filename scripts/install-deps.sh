#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing the game need.
# Quiet and quick when everything is already there: it only asks dpkg.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev
  libsdl2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libopenal-dev libopenal1 libalut-dev libsndfile1-dev libvorbis-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev libasio-dev
  libx11-dev libfreetype-dev fonts-dejavu-core vorbis-tools
  python3 xvfb xauth xdotool x11-utils imagemagick
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  sudo=sudo
else
  sudo=
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
