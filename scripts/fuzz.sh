#!/bin/sh
# Builds the libFuzzer targets with clang and runs each on its seed corpus (fuzz/corpus/<target>).
#   scripts/fuzz.sh                      a short, fixed number of runs per target (as CI does)
#   scripts/fuzz.sh 2000000              a longer run: that many executions per target
#   scripts/fuzz.sh 2000000 listfile     the same for the named targets only
# New inputs found go to build-fuzz/corpus-<target>/, never into the committed seeds; a failing
# input is kept as build-fuzz/crash-<target>-*, to replay with: build-fuzz/fuzz_<target> FILE
set -e
cd "$(dirname "$0")/.."
runs=${1:-20000}
if [ $# -gt 0 ]; then shift; fi
targets=${*:-$(cd fuzz/corpus && ls)}
scripts/setup-deps.sh clang-14 libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
# Undefined behaviour stops a run like a crash does.
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
passed=0
failed=0
for name in $targets; do
    dir=fuzz/corpus/$name
    work=build-fuzz/corpus-$name
    mkdir -p "$work"
    log=build-fuzz/fuzz_$name.log
    if "build-fuzz/fuzz_$name" -runs="$runs" -max_len=8192 -seed=1 -timeout=20 \
        -print_final_stats=1 -artifact_prefix="build-fuzz/crash-$name-" "$work" "$dir" >"$log" 2>&1; then
        echo "fuzz_$name: $(grep -o 'number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') executions, no failure"
        passed=$((passed + 1))
    else
        echo "fuzz_$name FAILED:"; tail -n 40 "$log"; status=1
        failed=$((failed + 1))
    fi
done
echo "fuzz: $passed passed, $failed failed"
exit $status
