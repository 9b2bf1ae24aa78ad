#!/usr/bin/env bash
# Installs what is missing, builds into build/ (or $HALLWIRE_BUILD_DIR) and runs
# every test with CTest. Exits non-zero when any test fails.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
dir="${HALLWIRE_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$dir" ${HALLWIRE_CMAKE_ARGS:-}
cd "$dir"
ctest --output-on-failure -j"$(nproc)" --timeout 300
