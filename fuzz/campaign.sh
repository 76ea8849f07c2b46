#!/usr/bin/env bash
# A fuzzing campaign: every libFuzzer target of fuzz/ runs for MINUTES
# minutes, one after another, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang). Each starts from its generated seeds,
# the corpus kept in fuzz/corpus/<target> and the regression inputs in
# fuzz/regressions/<target>. Afterwards
#   - every crashing, leaking or hanging input is kept in
#     fuzz/regressions/<target>/ (CTest's short fuzz runs replay them);
#   - the inputs that reached new coverage are merged into fuzz/corpus/<target>
#     (commit both folders to keep them);
#   - a table gives, per target, the executions, the coverage (edges and
#     features libFuzzer counts) and the number of findings.
#
# usage: fuzz/campaign.sh [MINUTES] [TARGET...]
#   MINUTES  per target (default 10)
#   TARGET   only these targets (default: all)
# Environment: KX_FUZZ_BUILD, the build folder (default build-fuzz);
# KX_FUZZ_JOBS, compile jobs (default 2).
# Exit status 0 when no target found anything.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

MINUTES=${1:-10}
shift || true
BUILD=${KX_FUZZ_BUILD:-build-fuzz}
JOBS=${KX_FUZZ_JOBS:-2}

TARGETS=("$@")
if [ ${#TARGETS[@]} = 0 ]; then
  for dir in fuzz/*/; do
    [ -f "$dir/CMakeLists.txt" ] && TARGETS+=("$(basename "$dir")")
  done
fi

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKX_SANITIZE=ON -DKX_BUILD_FUZZ=ON \
    -DKX_BUILD_TESTS=OFF -DKX_BUILD_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    ${KX_PREBUILT_PACK:+-DKX_PREBUILT_PACK=$KX_PREBUILT_PACK}
fi
build_targets=()
for t in "${TARGETS[@]}"; do build_targets+=("$t" "${t}_seed"); done
cmake --build "$BUILD" -j"$JOBS" --target "${build_targets[@]}"

WORK=$(mktemp -d /tmp/kx-fuzz-campaign-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp"

report=()
findings_total=0
for t in "${TARGETS[@]}"; do
  exe="$BUILD/bin/$t"
  kept="$ROOT/fuzz/corpus/$t"
  regressions="$ROOT/fuzz/regressions/$t"
  corpus="$WORK/$t"
  mkdir -p "$kept" "$regressions" "$corpus" "$WORK/$t-artifacts"
  "$BUILD/bin/${t}_seed" "$corpus"
  echo "== $t: $MINUTES min"
  set +e
  # -fork keeps the campaign going past a finding; every artifact is kept.
  "$exe" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time=$((MINUTES * 60)) -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$WORK/$t-artifacts/" "$corpus" "$kept" "$regressions" >"$WORK/$t.log" 2>&1
  set -e
  # Fork mode prints "#N: cov: C ft: F corp: ... exec/s: ..." lines; plain
  # mode "#N ... cov: C ft: F"; the last one counts.
  last=$(grep -E '^#[0-9]+' "$WORK/$t.log" | tail -n 1 || true)
  execs=$(sed -n 's/^#\([0-9]*\).*/\1/p' <<<"$last")
  cov=$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.*ft: \([0-9]*\).*/\1/p' <<<"$last")
  found=0
  for a in "$WORK/$t-artifacts"/*; do
    [ -e "$a" ] || continue
    cp "$a" "$regressions/"
    found=$((found + 1))
  done
  findings_total=$((findings_total + found))
  # Keep what reached new coverage.
  before=$(find "$kept" -type f | wc -l)
  "$exe" -merge=1 -rss_limit_mb=2048 "$kept" "$corpus" >"$WORK/$t-merge.log" 2>&1 || true
  after=$(find "$kept" -type f | wc -l)
  report+=("$(printf '%-22s %14s %8s %8s %8s %9s' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" \
    "$found" "$before->$after")")
  [ "$found" = 0 ] || { echo "$t: $found finding(s):"; grep -E 'ERROR|SUMMARY|runtime error' "$WORK/$t.log" | head -n 20; }
done

echo
printf '%-22s %14s %8s %8s %8s %9s\n' target executions cov ft findings corpus
printf '%s\n' "${report[@]}"
echo "$MINUTES min per target; findings kept in fuzz/regressions/<target>, corpora in fuzz/corpus/<target>"
[ "$findings_total" = 0 ]
