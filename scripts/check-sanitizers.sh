#!/usr/bin/env bash
# Builds the library, every test and the fuzz targets with clang under the
# address and undefined-behaviour sanitizers into build-asan/, runs the whole
# test suite there, then each fuzz target for a bounded time on its seed
# corpus (tests/fuzz/corpus/<target>). Any finding fails the script.
#
#   bash scripts/check-sanitizers.sh          # 60 s per fuzz target
#   FUZZ_SECONDS=300 bash scripts/check-sanitizers.sh
set -euo pipefail

packages=(cmake ninja-build clang libclang-rt-14-dev llvm-14 qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools
          qt6-l10n-tools libgl-dev fonts-dejavu-core)
source "$(dirname "${BASH_SOURCE[0]}")/packages.sh"
install_missing "${packages[@]}"

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-asan"
fuzz_seconds="${FUZZ_SECONDS:-60}"
started=$SECONDS

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" \
      -DZELVARO_FUZZ=ON > /dev/null
cmake --build "$build"
echo "Built in $((SECONDS - started)) s."

export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0"
if [ -x /usr/bin/llvm-symbolizer-14 ]; then
    export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14
fi
export QT_QPA_PLATFORM=offscreen

(cd "$build" && ctest --output-on-failure --timeout 900)
echo "Test suite clean under ASan and UBSan after $((SECONDS - started)) s."

# The bound on a label's box is fuzzed from the labels' seeds.
for target in native label csv bound; do
    seeds="$root/tests/fuzz/corpus/$target"
    if [ "$target" = bound ]; then
        seeds="$root/tests/fuzz/corpus/label"
    fi
    found="$build/fuzz/$target"
    mkdir -p "$found"
    echo "Fuzzing $target for $fuzz_seconds s."
    # New inputs go to the first folder; the committed seeds stay as they are.
    status=0
    "$build/tests/fuzz/fuzz_$target" -max_total_time="$fuzz_seconds" -timeout=20 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz/$target-" \
        "$found" "$seeds" > "$build/fuzz/$target.log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$build/fuzz/$target.log"
        echo "fuzz_$target found a fault (exit $status); see $build/fuzz/$target.log and the artifact beside it."
        exit 1
    fi
    runs=$(grep -m1 -o "stat::number_of_executed_units: *[0-9]*" "$build/fuzz/$target.log" | grep -o "[0-9]*$")
    echo "fuzz_$target: $runs executions, $(ls "$found" | wc -l) new inputs, no finding."
done
echo "Sanitizer check done in $((SECONDS - started)) s."
