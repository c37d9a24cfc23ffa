#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tendora-lote against R's ets() and thetaf() on the development series:
#   bash bench/r/comparar.sh [TENDORA_LOTE] [TRABAJO]
# Builds tendora-lote in Release (build-rel/) when no program is given, writes
# the series into TRABAJO/series (build-rel/comparar-r by default), holds out
# the last 18 months of each and prints the table (see comparar.R). R and its
# forecast package are for this benchmark alone: installed here when missing.
set -euo pipefail
cd "$(dirname "$0")/../.."
LOTE=${1:-}
TRABAJO=${2:-build-rel/comparar-r}
H=${H:-18}

. bench/r/comun.sh

mkdir -p "$TRABAJO"
rm -rf "$TRABAJO/series"
Rscript bench/r/generar.R "$TRABAJO/series" ejemplos
Rscript bench/r/comparar.R "$TRABAJO/series" "$LOTE" "$TRABAJO" "$H"
