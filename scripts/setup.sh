#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Korvath need.
# Safe to run repeatedly: packages that are already installed are left alone.
# Usage: scripts/setup.sh [EXTRA_PACKAGE...]   (the fuzzing script adds clang and its runtimes)
set -euo pipefail

packages=(
  "$@"
  cmake g++ make pkg-config
  libsdl2-dev libsdl2-mixer-dev libphysfs-dev libstb-dev libzip-dev zlib1g-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
