# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the comparison scripts (sourced from the repository's root):
# installs R and its forecast package when missing (they are for the
# benchmarks alone) and, when LOTE is empty, builds tendora-lote in Release
# (build-rel/) and points LOTE at it.
if ! command -v Rscript >/dev/null || ! Rscript -e 'suppressPackageStartupMessages(library(forecast))' >/dev/null 2>&1; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "Instalando R y su paquete forecast"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends r-base-core r-cran-forecast
fi

if [ -z "$LOTE" ]; then
  cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build build-rel --target tendora-lote
  LOTE=build-rel/tendora-lote
fi
