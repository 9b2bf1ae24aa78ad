#!/usr/bin/env bash
# Installs what is missing (the test tools included), builds into build/ (or $HALLWIRE_BUILD_DIR) and runs
# every test with CTest. Exits non-zero when any test fails.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
dir="${HALLWIRE_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh" test
"$root/scripts/build.sh" "$dir" -DHALLWIRE_BUILD_TESTS=ON ${HALLWIRE_CMAKE_ARGS:-}
cd "$dir"
ctest --output-on-failure -j"$(nproc)" --timeout 300
