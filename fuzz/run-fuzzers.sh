#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for
# SECONDS (default 600), two at a time at the lowest priority, starting from
# the seed corpora in fuzz/corpus/. New inputs collect in build-fuzz/corpus/,
# findings in build-fuzz/artifacts/<target>/, logs in build-fuzz/logs/.
#   fuzz/run-fuzzers.sh [SECONDS] [TARGET...]
# Exits non-zero when a target reported a finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(framedriver datafile backupfile settingsfile)
jobs="${FUZZ_JOBS:-2}"

scripts/setup-deps.sh
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DKX_BUILD_FUZZERS=ON -DKX_BUILD_TESTS=OFF -DKX_BUILD_BENCHMARKS=OFF >/dev/null
build_targets=()
for t in "${targets[@]}"; do build_targets+=(--target "fuzz_$t"); done
nice -n 19 cmake --build build-fuzz --parallel 2 "${build_targets[@]}"

out=build-fuzz
mkdir -p "$out/logs"
# Leaks are checked after every input, with the same system-library
# suppressions as the sanitized test suite.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

run_one() {
    local t="$1"
    mkdir -p "$out/corpus/$t" "$out/artifacts/$t"
    nice -n 19 "$out/bin/fuzz_$t" "$out/corpus/$t" "fuzz/corpus/$t" \
        -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="$out/artifacts/$t/" -print_final_stats=1 \
        >"$out/logs/$t.log" 2>&1
}

# Findings of earlier runs stay in the artifact folders; only newer ones count.
touch "$out/logs/.started"
failed=0
pids=()
names=()
for t in "${targets[@]}"; do
    run_one "$t" &
    pids+=($!)
    names+=("$t")
    if [ ${#pids[@]} -ge "$jobs" ]; then
        wait "${pids[0]}" || failed=1
        pids=("${pids[@]:1}")
    fi
done
for p in "${pids[@]}"; do wait "$p" || failed=1; done

for t in "${targets[@]}"; do
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/logs/$t.log" | grep -o '[0-9]*$' || echo "?")
    found=$(find "$out/artifacts/$t" -type f -newer "$out/logs/.started" | wc -l)
    echo "fuzz_$t: ${seconds}s, ${runs} executions, ${found} findings"
done
exit "$failed"
