#!/usr/bin/env bash
# Every test of qrlogo: the normal build's tests (unit, Qt Test on the offscreen platform, end
# to end under Xvfb), the same unit tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# the ThreadSanitizer tests, and each fuzz target for a short while.
# `scripts/test.sh [normal|asan|tsan|fuzz]` runs one stage only.
set -euo pipefail
cd "$(dirname "$0")/.."
stages=("${@:-normal asan tsan fuzz}")
read -r -a stages <<<"${stages[*]}"
jobs=$(nproc)

configure() {  # folder, cmake arguments...
    local dir=$1; shift
    [ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja "$@"
}

for stage in "${stages[@]}"; do
    echo "== $stage"
    case $stage in
    normal)
        cmake --build build
        ctest --test-dir build --output-on-failure -j "$jobs" ;;
    asan)
        configure build-asan -DQRLOGO_SANITIZE=address,undefined
        cmake --build build-asan
        # An allocation the heap cannot supply must come back empty, as malloc's does: the
        # program's fatal error report is what the tests check.
        ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
            UBSAN_OPTIONS=print_stacktrace=1 \
            ctest --test-dir build-asan --output-on-failure -j "$jobs" -L unit ;;
    tsan)
        configure build-tsan -DQRLOGO_SANITIZE=thread
        cmake --build build-tsan --target tsan_tests
        TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -L tsan ;;
    fuzz)
        configure build-fuzz -DQRLOGO_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
        cmake --build build-fuzz --target fuzz_targets
        scripts/fuzz.sh build-fuzz/fuzz "${FUZZ_SECONDS:-20}" ;;
    *)
        echo "unknown stage: $stage" >&2; exit 2 ;;
    esac
done
