#!/usr/bin/env bash
# Installs what building and running need, builds the programs into build/ and starts
# the messenger. Tests and their tools are ./test.sh's.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh" run
"$root/scripts/build.sh" "$root/build" -DHALLWIRE_BUILD_TESTS=OFF
if [ -x "$root/build/bin/hallwire" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$root/build/bin/hallwire" "$@"
fi
if [ -x "$root/build/bin/hallwire" ]; then
  echo "No display (DISPLAY/WAYLAND_DISPLAY unset): listening in this terminal with hallwire-listen instead."
fi
exec "$root/build/bin/hallwire-listen" "$@"
