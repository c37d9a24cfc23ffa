#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) in build-fuzz
# and runs each for the given seconds (60 by default) on a copy of its seed
# corpus, fuzz/corpus/<target>/: every seed is replayed first, and what the
# run finds new stays in the copy. A crash, a sanitizer report (leaks
# included), a timeout or running out of memory fails the script and names
# the input that did it.
#   bash scripts/fuzz.sh [seconds]
set -euo pipefail

SEGUNDOS="${1:-60}"
RAIZ="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$RAIZ/build-fuzz"

bash "$RAIZ/scripts/setup.sh"

LANZADOR=()
if command -v ccache > /dev/null; then LANZADOR=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$RAIZ" -B "$BUILD" -G Ninja -DTENDORA_FUZZ=ON -DTENDORA_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${LANZADOR[@]}" > /dev/null
cmake --build "$BUILD" -j"$(nproc)"

# Largest input each target is given: a data text or a CSV of a few
# thousand lines, a workbook of some tens of kilobytes.
declare -A MAXIMO=([registros]=65536 [importacion]=65536 [libro]=131072)

TRABAJO="$(mktemp -d)"
trap 'rm -rf "$TRABAJO"' EXIT
fallo=0
for objetivo in registros importacion libro; do
  corpus="$TRABAJO/$objetivo/corpus"
  hallazgos="$BUILD/hallazgos/$objetivo"
  rm -rf "$hallazgos"
  mkdir -p "$corpus" "$hallazgos"
  cp "$RAIZ/fuzz/corpus/$objetivo/"* "$corpus/"
  registro="$BUILD/hallazgos/$objetivo.log"
  echo "== fuzz_$objetivo: ${SEGUNDOS} s"
  set +e
  ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    "$BUILD/fuzz_$objetivo" -max_total_time="$SEGUNDOS" -timeout=10 -rss_limit_mb=2048 \
    -max_len="${MAXIMO[$objetivo]}" -print_final_stats=1 -artifact_prefix="$hallazgos/" \
    "$corpus" > "$registro" 2>&1
  rc=$?
  set -e
  grep -E '^(#[0-9]+ +DONE|Done [0-9]+ runs|stat::number_of_executed_units|stat::new_units_added|stat::peak_rss_mb)' "$registro" || true
  encontrados=$(find "$hallazgos" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' -o -name 'slow-unit-*' \) | sort)
  if [ "$rc" -ne 0 ] || [ -n "$encontrados" ]; then
    fallo=1
    echo "fuzz_$objetivo FAILED (exit $rc); its log: $registro"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$registro" | head -5 || true
    for f in $encontrados; do echo "  finding: $f"; done
    echo "  Mend it, then add the input to fuzz/corpus/$objetivo/ as a regression case (every run replays it)."
  fi
done
exit "$fallo"
