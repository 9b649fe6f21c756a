#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The set-up scripts never report a failed build as success, a change to
# the presets reaches the next build, and a skipped test is listed with its
# reason. Runs ./test and the build step of
# scripts/setup.sh on a tiny project of their own in a scratch folder.
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mkdir -p "$scratch/scripts"
cp "$source_dir/test" "$scratch/"
cp "$source_dir/scripts/setup.sh" "$scratch/scripts/"
cat > "$scratch/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(ScriptProbe LANGUAGES CXX)
add_executable(probe probe.cpp)
enable_testing()
add_test(NAME probe COMMAND probe)
add_test(NAME skipper COMMAND sh -c "echo 'SKIP   : tst_Probe::f() no screen here'; exit 77")
set_tests_properties(skipper PROPERTIES SKIP_RETURN_CODE 77)
CMAKE
write_presets() {
    cat > "$scratch/CMakePresets.json" <<JSON
{
  "version": 6,
  "configurePresets": [
    {"name": "default", "generator": "Ninja", "binaryDir": "\${sourceDir}/build/default",
     "cacheVariables": {"PROBE_SETTING": "$1"}},
    {"name": "asan", "generator": "Ninja", "binaryDir": "\${sourceDir}/build/asan"}
  ],
  "buildPresets": [{"name": "default", "configurePreset": "default"},
                   {"name": "asan", "configurePreset": "asan"}],
  "testPresets": [{"name": "default", "configurePreset": "default"},
                  {"name": "asan", "configurePreset": "asan"}]
}
JSON
}
write_presets first
echo 'int main() { return 0; }' > "$scratch/probe.cpp"

cd "$scratch" || exit 1
. scripts/setup.sh
quorvel_build default >/dev/null 2>&1 || fail "a good build failed"
grep -q '^PROBE_SETTING:UNINITIALIZED=first$' build/default/CMakeCache.txt || fail "the preset's setting is missing"

# A skipped test is named with its reason, a passed one is not.
(cd build/default && ctest) >build/default/ctest.out 2>&1
[ "$(quorvel_skipped_tests build/default)" = "skipper: tst_Probe::f() no screen here" ] ||
    fail "the skipped test was not listed with its reason: $(quorvel_skipped_tests build/default)"

# A change to the presets reaches the next build.
write_presets second
quorvel_build default >/dev/null 2>&1 || fail "the rebuild failed"
grep -q '^PROBE_SETTING:UNINITIALIZED=second$' build/default/CMakeCache.txt ||
    fail "a changed preset did not reach the build"

# A build that fails, with the stale program of the good build still there.
echo 'int main() { return missing; }' > probe.cpp
quorvel_build default >/dev/null 2>"$scratch/build.err" && fail "a failed build counted as good"
grep -q 'the default build failed' "$scratch/build.err" || fail "a failed build was not reported"
output=$(./test 2>&1)
status=$?
[ "$status" -ne 0 ] || fail "./test passed although the build failed"
grep -q 'the default build failed' <<<"$output" || fail "./test did not say that the build failed"
grep -q 'tests passed' <<<"$output" && fail "./test ran the tests of a stale build"

[ "$failures" -eq 0 ] && echo "PASS: the scripts report failed builds, follow the presets and list skips"
exit "$failures"
