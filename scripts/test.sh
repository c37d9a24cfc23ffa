#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DTENDORA_WERROR=${TENDORA_WERROR:-OFF} >/dev/null
cmake --build build-test -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j"$(nproc)"
