#!/usr/bin/env bash
# Starts the window where a display exists; otherwise says how to get one.
set -euo pipefail
exe="$1"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$exe"
fi
echo "No display found: start the window on a desktop session with 'make run'," >&2
echo "or under a virtual display: xvfb-run -a $exe" >&2
exit 2
