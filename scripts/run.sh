#!/usr/bin/env bash
# Starts the window where a display exists; elsewhere runs the demo and says how to start
# the window. Usage: scripts/run.sh BUILD_DIR
set -euo pipefail
build="$1"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/app/tolvarine"
fi
echo "No display found, so here is the demo instead: a walk of a sample site without a window."
echo
bash "$(dirname "$0")/demo.sh" "$build"
echo
echo "The window needs a desktop session (run 'make run' there), or a virtual display:"
echo "  xvfb-run -a $build/app/tolvarine"
