#!/usr/bin/env bash
# Starts the tracker on the example station: the window when a display is
# present, the terminal view otherwise.
set -euo pipefail
build=${1:-build}
bin="$build/bin"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting the aostrack window on the example station ($bin/sat.ini)."
  exec "$bin/aostrack"
else
  echo "No display found: starting the terminal view (aostrack-cli track) on the example station ($bin/sat.ini). Ctrl-C ends it."
  exec "$bin/aostrack-cli" track
fi
