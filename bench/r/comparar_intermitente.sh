#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tendora-lote on simulated spare-parts demand against the zero forecast, the
# mean of the last year, croston() and ses():
#   bash bench/r/comparar_intermitente.sh [TENDORA_LOTE] [TRABAJO]
# Builds tendora-lote in Release (build-rel/) when no program is given, writes
# N series (1000 by default) into TRABAJO/series (build-rel/intermitente by
# default), holds out the last H months (6) of each and prints the table (see
# comparar_intermitente.R). R and its forecast package are for the benchmarks
# alone: installed here when missing.
set -euo pipefail
cd "$(dirname "$0")/../.."
LOTE=${1:-}
TRABAJO=${2:-build-rel/intermitente}
H=${H:-6}
N=${N:-1000}

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

mkdir -p "$TRABAJO"
rm -rf "$TRABAJO/series"
Rscript bench/r/intermitente.R "$TRABAJO/series" "$N"
Rscript bench/r/comparar_intermitente.R "$TRABAJO/series" "$LOTE" "$TRABAJO" "$H"
