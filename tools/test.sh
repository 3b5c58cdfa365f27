#!/bin/bash
# Installs what is missing, builds everything and runs every group of tests: the native unit
# tests, a short run of the settings loader's fuzzer, the Windows tests under Wine in a private
# Xvfb display and a fresh Wine prefix (the soak of 30 switches among them, ctest label "soak",
# and the fault campaign, label "faults"), then the packages (installer, portable zip, version
# information) in a prefix of their own, so that the installer meets a user who never had the
# program. A group that fails does not stop the others; the end names the groups that failed,
# and the exit code is 1 when any did.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh || exit 1
tools/build.sh || exit 1

failed=()
# Runs one group and notes its name when it fails.
group() {
    local name=$1
    shift
    echo "== $name"
    if ! "$@"; then
        failed+=("$name")
        echo "== FAILED: $name"
    fi
}

fuzz() {
    mkdir -p build/fuzz
    if ! tools/fuzz.sh -max_total_time=5 >build/fuzz/last-run.log 2>&1; then
        tail -n 40 build/fuzz/last-run.log
        return 1
    fi
    grep -E "^Done" build/fuzz/last-run.log
}

# ctest in a Wine box of its own, taken down whatever happens.
wine_ctest() (
    . tools/winebox.sh
    trap winebox_stop EXIT
    winebox_start && ctest --test-dir build/win32 --output-on-failure "$@"
)

group "native tests" ctest --test-dir build/native --output-on-failure -j2
group "the settings loader under libFuzzer, 5 s" fuzz
group "Windows tests under Wine" wine_ctest -LE packages
group "packages under Wine" wine_ctest -L packages

if [ ${#failed[@]} -gt 0 ]; then
    echo "== failed groups: $(printf '"%s" ' "${failed[@]}")"
    exit 1
fi
echo "== every group passed"
