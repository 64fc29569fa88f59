#!/usr/bin/env bash
# Builds every Google Benchmark program and runs them one after another in
# one go, then prints each measure as a ratio to the floor its program names
# (ratios from one run hold from machine to machine; absolute times on a
# shared machine do not). JSON results go to build/bench-results/.
#   scripts/bench.sh            all programs
#   TGCL_BENCH_FILTER=regex     only benchmarks matching regex
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh python3
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTGCL_BUILD_BENCH=ON >/dev/null
cmake --build build -j "$(nproc)"
out=build/bench-results
mkdir -p "$out"
programs=$(find build/bench build/backends/qt -maxdepth 1 -type f -name 'bench_*' -perm -u+x | sort)
for p in $programs; do
  name=$(basename "$p")
  echo "== $name" >&2
  args=(--benchmark_out="$out/$name.json" --benchmark_out_format=json)
  if [ -n "${TGCL_BENCH_FILTER:-}" ]; then args+=(--benchmark_filter="$TGCL_BENCH_FILTER"); fi
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$p" "${args[@]}" >"$out/$name.txt" 2>&1 || {
    echo "$name failed; see $out/$name.txt" >&2; exit 1; }
done
exec python3 scripts/bench_ratios.py "$out"
