#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, only when one is missing.
# Usage: scripts/deps.sh [extra-package ...]
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libpng-dev nlohmann-json3-dev "$@")
# The Qt backend (TGCL_BUILD_QT=0 leaves it out): Qt Widgets, Qt WebEngine
# for the browser's pages, and the fonts that stand in for Tahoma and Arial;
# valgrind for the package test's memcheck run of the guide's Qt host.
if [ "${TGCL_BUILD_QT:-1}" != 0 ]; then
  pkgs+=(qt6-base-dev qt6-webengine-dev libgl-dev fonts-dejavu-core fonts-liberation valgrind)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
