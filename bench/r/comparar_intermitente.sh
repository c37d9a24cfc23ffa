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

. bench/r/comun.sh

mkdir -p "$TRABAJO"
rm -rf "$TRABAJO/series"
Rscript bench/r/intermitente.R "$TRABAJO/series" "$N"
Rscript bench/r/comparar_intermitente.R "$TRABAJO/series" "$LOTE" "$TRABAJO" "$H"
