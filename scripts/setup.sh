#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages that building, running and testing Tendora need.
# Quick when everything is already there.
set -euo pipefail

PAQUETES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libxkbcommon-dev libxlsxwriter-dev
  qt6-translations-l10n qt6-l10n-tools
  libminizip-dev
  xvfb xauth xdotool imagemagick xdg-utils
  librsvg2-bin dpkg-dev file desktop-file-utils appstream
  clang libclang-rt-14-dev
)

faltan=()
for p in "${PAQUETES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    faltan+=("$p")
  fi
done

if [ ${#faltan[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Instalando: ${faltan[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${faltan[@]}"
