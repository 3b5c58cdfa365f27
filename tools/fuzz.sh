#!/bin/bash
# Builds a fuzzer with clang (libFuzzer and the sanitizers) in build/fuzz and runs it: the
# settings loader ("settings", the default) or the options file's reader ("options"). Further
# arguments go to libFuzzer; without any it runs for 10 seconds. Examples:
#     tools/fuzz.sh                              the settings loader, 10 s
#     tools/fuzz.sh -max_total_time=5            what tools/test.sh runs
#     tools/fuzz.sh options -runs=1000000        a million inputs to the options reader
# Exit code 0 when no input broke a rule or tripped a sanitizer; the input that did is written
# to build/fuzz/crashes/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

target=settings
case "${1:-}" in
settings | options)
    target=$1
    shift
    ;;
esac

if [ ! -f build/fuzz/build.ninja ]; then
    cmake -S . -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DVX_FUZZ=ON >/dev/null
fi
cmake --build build/fuzz --target "${target}_fuzz"

corpus=build/fuzz/corpus
[ "$target" = settings ] || corpus=build/fuzz/corpus-$target
mkdir -p "$corpus" build/fuzz/crashes
if [ $# -eq 0 ]; then
    set -- -max_total_time=10
fi
"build/fuzz/tests/fuzz/${target}_fuzz" -print_final_stats=1 \
    -artifact_prefix="build/fuzz/crashes/$target-" "$@" "$corpus"
