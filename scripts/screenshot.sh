#!/usr/bin/env bash
# Takes docs/screenshot.png: the aostrack window tracking the example station
# (build/bin/sat.ini) at 1280x800 on a virtual X display. The program grabs
# its own window after a few seconds and quits, so no screen-capture tool is
# needed. Usage: scripts/screenshot.sh [build-dir] [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-docs/screenshot.png}
bin="$build/bin/aostrack"
if [ ! -x "$bin" ]; then
  echo "screenshot: $bin not found; build first (make build)" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
out=$(realpath "$out")

# The satellite highest above the horizon right now (with a known downlink if
# one is up), so that the picture shows a pass in progress.
export AOSTRACK_SCREENSHOT="$out"
export AOSTRACK_SCREENSHOT_SIZE=1280x800
export AOSTRACK_SCREENSHOT_DELAY=${AOSTRACK_SCREENSHOT_DELAY:-6}
export AOSTRACK_SCREENSHOT_SATELLITE=${AOSTRACK_SCREENSHOT_SATELLITE:-up}
unset QT_QPA_PLATFORM

xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24 -dpi 96" "$bin"
echo "screenshot: wrote $out"
