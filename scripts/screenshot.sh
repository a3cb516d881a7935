#!/usr/bin/env bash
# Takes docs/screenshot.png: the aostrack window tracking the example station
# (build/bin/sat.ini) at 1280x800 on a virtual X display. aostrack-screenshot
# (the same window, built beside aostrack, never installed) grabs its own
# window after a few seconds and quits, so no screen-capture tool is needed. Usage: scripts/screenshot.sh [build-dir] [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-docs/screenshot.png}
bin="$build/bin/aostrack-screenshot"
if [ ! -x "$bin" ]; then
  echo "screenshot: $bin not found; build first (make build)" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
out=$(realpath "$out")

# The example element sets (amateur.csv) date from 21 September 2026, so the
# picture is taken on the program's own rehearsal clock at that time (the
# system clock is not touched): the ISS rises over the example station
# (Munich) at 15:14 UTC and climbs to 75 degrees; at 60 times speed the window
# follows it for six seconds and the pass plot gathers its trail of marks.
# AOSTRACK_SCREENSHOT_START= (empty) and AOSTRACK_SCREENSHOT_SATELLITE=up
# take the picture on the real clock with the satellite highest up now.
export AOSTRACK_SCREENSHOT="$out"
export AOSTRACK_SCREENSHOT_SIZE=${AOSTRACK_SCREENSHOT_SIZE:-1280x800}
export AOSTRACK_SCREENSHOT_DELAY=${AOSTRACK_SCREENSHOT_DELAY:-6}
export AOSTRACK_SCREENSHOT_START=${AOSTRACK_SCREENSHOT_START-2026-09-21T15:14:00Z}
export AOSTRACK_SCREENSHOT_SPEED=${AOSTRACK_SCREENSHOT_SPEED:-60}
export AOSTRACK_SCREENSHOT_SATELLITE=${AOSTRACK_SCREENSHOT_SATELLITE:-ISS (ZARYA)}
unset QT_QPA_PLATFORM

xvfb-run --auto-servernum --server-args="-screen 0 ${AOSTRACK_SCREENSHOT_SIZE}x24 -dpi 96" "$bin"
echo "screenshot: wrote $out"
