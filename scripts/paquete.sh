#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tendora in Release and makes its Debian package; prints the package's
# path. Install it with: sudo apt-get install ./build-paquete/tendora_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-paquete -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-paquete --target tendora tendora-lote pagina_lote -j"$(nproc)"
rm -f build-paquete/tendora_*.deb
(cd build-paquete && cpack -G DEB >/dev/null)
ls "$PWD"/build-paquete/tendora_*.deb
