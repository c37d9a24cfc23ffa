#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Screenshots of the real window under Xvfb: opens a sample file, loads it and
# photographs some pages. Usage: scripts/captura.sh BUILD_DIR OUT_DIR [file]
# Run as: xvfb-run -a -s "-screen 0 1600x1000x24" bash scripts/captura.sh build /tmp/shots
set -euo pipefail
BUILD=${1:-build}
OUT=${2:-/tmp/shots}
DATOS=${3:-ejemplos/AirPassengers.txt}
mkdir -p "$OUT"
"$BUILD/tendora" &
PID=$!
trap 'kill $PID 2>/dev/null || true' EXIT
WID=$(xdotool search --sync --onlyvisible --name "^Tendora$" | head -1)
sleep 1
import -window root "$OUT/inicio.png"
echo "window $WID"
