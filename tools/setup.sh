#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need. Quick when they are all there:
# the package lists are only refreshed when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libsdl1.2-dev freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri libx11-dev
  xvfb xauth x11-utils xdotool x11-apps
  imagemagick sox python3
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
