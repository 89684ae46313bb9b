#!/usr/bin/env bash
# Builds the programs and the test suites with AddressSanitizer,
# LeakSanitizer and UndefinedBehaviorSanitizer into build-asan/ (benchmarks
# left out) and runs every test through CTest. Any sanitizer report ends the
# test that made it with a failure, so a clean run means no memory error, no
# undefined behaviour and no leak outside the suppressed system libraries
# (scripts/lsan.supp).
set -euo pipefail
cd "$(dirname "$0")/.."
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKX_BUILD_BENCHMARKS=OFF -DKX_BUILD_TESTS=ON \
    -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan --parallel "$(nproc)"

# The full unwinder records allocation stacks deep enough to reach the system
# libraries that scripts/lsan.supp names. It makes every allocation slow, so
# the tests that allocate millions of times (fast_tests) run with the frame-
# pointer unwinder instead.
options="halt_on_error=1:detect_leaks=1:strict_init_order=1:detect_stack_use_after_return=1"
fast_tests='^tst_longrecording$'
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
cd build-asan
status=0
ASAN_OPTIONS="$options:fast_unwind_on_malloc=0" QT_QPA_PLATFORM=offscreen \
    ctest --output-on-failure --timeout 900 -j "$(nproc)" -E "$fast_tests" || status=$?

# LeakSanitizer stops every thread with a ptrace tracer at exit; now and then
# that tracer itself crashes ("Tracer caught signal 11") after the test has
# passed, and no leak check happens at all. Such a run proves nothing either
# way, so the failed tests run once more -- but only when the tool's own crash
# is the sole complaint: a failed check, a sanitizer finding or a leak report
# anywhere in the log keeps the failure.
log=Testing/Temporary/LastTest.log
if [ "$status" -ne 0 ] && [ -f "$log" ] &&
    grep -q "LeakSanitizer has encountered a fatal error" "$log" &&
    ! grep -qE "^FAIL!|ERROR: (AddressSanitizer|LeakSanitizer: detected)|runtime error:|Timeout|Subprocess aborted" "$log"; then
    echo "LeakSanitizer's tracer crashed; running the failed tests once more"
    status=0
    ASAN_OPTIONS="$options:fast_unwind_on_malloc=0" QT_QPA_PLATFORM=offscreen \
        ctest --output-on-failure --timeout 900 --rerun-failed || status=$?
fi
ASAN_OPTIONS="$options" QT_QPA_PLATFORM=offscreen \
    ctest --output-on-failure --timeout 900 -R "$fast_tests" || status=$?
exit "$status"
