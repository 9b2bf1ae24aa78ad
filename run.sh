#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the messenger.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
if [ -x "$root/build/bin/hallwire" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$root/build/bin/hallwire" "$@"
fi
if [ -x "$root/build/bin/hallwire" ]; then
  echo "No display (DISPLAY/WAYLAND_DISPLAY unset): listening in this terminal with hallwire-listen instead."
fi
exec "$root/build/bin/hallwire-listen" "$@"
