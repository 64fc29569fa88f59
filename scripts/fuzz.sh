#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang into build-fuzz/ and runs each
# for a fixed time over a fresh copy of its seed corpus. Any crash, sanitizer
# report, broken property, time-out or memory blow-up fails the run; the
# input that caused it is left in build-fuzz/findings/<target>/.
#   TGCL_FUZZ_SECONDS  seconds per target (default 10)
#   TGCL_FUZZ_TARGETS  space-separated subset of the targets below
set -euo pipefail
cd "$(dirname "$0")/.."
TGCL_BUILD_QT=0 scripts/deps.sh clang libclang-rt-14-dev

# One line per target: fuzz/fuzz_<name>.cpp with its seeds in fuzz/corpus/<name>/.
targets=(
  toolbar_layout
  text_lookup
  settings_hive
  catalogue
  property_bag
  rtf
  html
  test_plan
)
if [ -n "${TGCL_FUZZ_TARGETS:-}" ]; then read -r -a targets <<<"$TGCL_FUZZ_TARGETS"; fi
seconds=${TGCL_FUZZ_SECONDS:-10}

cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Fuzz \
      -DTGCL_WERROR=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

failed=()
printf '%-16s %10s %8s %8s  %s\n' target executions cov ft result
for t in "${targets[@]}"; do
  work=build-fuzz/run/$t
  findings=build-fuzz/findings/$t
  rm -rf "$work" "$findings"
  mkdir -p "$work" "$findings"
  cp -r "fuzz/corpus/$t/." "$work/"
  log=build-fuzz/run/$t.log
  result=ok
  if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
       "build-fuzz/fuzz_$t" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=4096 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1; then
    result="FINDING (see $log and $findings/)"
    failed+=("$t")
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  printf '%-16s %10s %8s %8s  %s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$result"
done
if ((${#failed[@]})); then
  for t in "${failed[@]}"; do echo "--- $t"; grep -E -A12 'ERROR|property violated|runtime error' "build-fuzz/run/$t.log" | head -40; done
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing found nothing"
