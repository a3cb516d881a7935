#!/usr/bin/env bash
# The real window on a virtual screen under a real window manager (openbox):
# at 1024x600, 1366x768 and 1920x1080, with the upcoming-passes dock closed
# and open, and with a transceiver's controls, the window and its title bar
# lie within the work area, and so does the smallest size the window allows.
# Usage: window_on_screen.sh <aostrack> [fonts.conf]
# Exit 77 (skipped) when Xvfb, openbox or the X tools are not installed.
set -uo pipefail
app=$1
fonts=${2:-}

for tool in Xvfb openbox xdotool xprop xwininfo; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool not installed (scripts/install-deps.sh)"
    exit 77
  fi
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL [$case]: $*"
  failures=$((failures + 1))
}

# Polls "$@" until it succeeds or the deadline (seconds) passes.
wait_for() {
  local deadline=$(($(date +%s) + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# The four numbers of a root or window property ("left, right, top, bottom").
numbers() {
  xprop "$@" | sed -n 's/.* = //p' | head -1 | tr -d ',' | cut -d' ' -f1-4
}

# A virtual screen with openbox on it: sets x_pid, wm_pid and DISPLAY, or
# puts the reason into why. A busy machine now and then loses a fresh display
# before openbox connects; that is the test bed, not the window, so the
# caller tries again.
start_screen() {
  local width=$1 height=$2 tag=$3
  local displayfile="$work/display.$tag"
  rm -f "$displayfile"
  Xvfb -displayfd 5 -screen 0 "${width}x${height}x24" -dpi 96 -nolisten tcp \
    5>"$displayfile" 2>"$work/xvfb.$tag.log" &
  x_pid=$!
  pids+=($x_pid)
  if ! wait_for 30 test -s "$displayfile"; then
    why="Xvfb did not start: $(tail -3 "$work/xvfb.$tag.log")"
    return 1
  fi
  export DISPLAY=":$(head -1 "$displayfile")"
  openbox --sm-disable >"$work/openbox.$tag.log" 2>&1 &
  wm_pid=$!
  pids+=($wm_pid)
  # Ready once it has laid out the work area: a window mapped earlier would
  # keep the place it had without a window manager.
  if ! wait_for 30 sh -c "xprop -root _NET_WORKAREA | grep -q ' = '"; then
    why="openbox did not start: $(tail -3 "$work/openbox.$tag.log")"
    return 1
  fi
}

run_case() {
  local width=$1 height=$2 dock=$3
  case="${width}x${height} dock $dock"
  local attempt
  for attempt in 1 2 3; do
    why="" x_pid="" wm_pid=""
    start_screen "$width" "$height" "$width.$dock.$attempt" && break
    kill "$wm_pid" "$x_pid" 2>/dev/null
    wait "$wm_pid" "$x_pid" 2>/dev/null
  done
  if [ -n "$why" ]; then
    fail "$why"
    return
  fi
  # A settings folder of its own: no dock left open by an earlier run. The
  # screenshot tool (the same window) opens the dock; its picture is taken
  # long after the check.
  local config="$work/config.$width.$dock"
  mkdir -p "$config"
  (
    unset QT_QPA_PLATFORM
    export XDG_CONFIG_HOME="$config" HOME="$config"
    [ -n "$fonts" ] && export FONTCONFIG_FILE="$fonts"
    program=$app
    args=()
    if [ "$dock" = open ]; then
      export AOSTRACK_SCREENSHOT="$work/shot.png" AOSTRACK_SCREENSHOT_DELAY=600
      program="$(dirname "$app")/aostrack-screenshot"
    elif [ "$dock" = rig ]; then
      # A transceiver adds its dials and knob to the frequency frame: the
      # station beside the program with RIG_HOST (no daemon needed).
      mkdir -p "$work/rig.$width"
      cp "$(dirname "$app")"/*.{ini,txt,csv,sql,json} "$work/rig.$width/" 2>/dev/null
      printf 'RIG_HOST=127.0.0.1:9\r\n' >>"$work/rig.$width/sat.ini"
      args=(--config "$work/rig.$width/sat.ini")
    fi
    exec "$program" "${args[@]}"
  ) >"$work/app.$width.$dock.log" 2>&1 &
  local app_pid=$!
  pids+=($app_pid)

  local window
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^aostrack$' | head -1)
  if [ -z "$window" ]; then
    fail "no window appeared: $(grep -v '^ ' "$work/app.$width.$dock.log" | tail -5)"
    return
  fi
  # The frame is there once openbox has put the window into it and says how
  # thick it is; the geometry is read until two readings agree.
  wait_for 30 sh -c "xprop -id $window _NET_FRAME_EXTENTS | grep -q ' = ' &&
    xwininfo -id $window | grep -q 'Relative upper-left Y: *[1-9]'" ||
    fail "openbox gave the window no frame"
  local geometry previous="" same=0
  for _ in $(seq 100); do
    geometry=$(xwininfo -id "$window" |
      awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
           /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}')
    if [ "$geometry" = "$previous" ]; then
      same=$((same + 1))
      [ "$same" -ge 3 ] && break
    else
      same=0
    fi
    previous=$geometry
    sleep 0.2
  done
  local x y w h left right top bottom ax ay aw ah minw minh
  read -r x y w h <<<"$geometry"
  read -r left right top bottom <<<"$(numbers -id "$window" _NET_FRAME_EXTENTS)"
  read -r ax ay aw ah <<<"$(numbers -root _NET_WORKAREA)"
  read -r minw minh <<<"$(xprop -id "$window" WM_NORMAL_HINTS |
    sed -n 's/.*program specified minimum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p')"
  echo "[$case] window ${w}x${h} at $x,$y; frame $left $right $top $bottom;" \
    "minimum ${minw:-?}x${minh:-?}; work area ${aw}x${ah} at $ax,$ay"

  [ $((x - left)) -ge "$ax" ] && [ $((y - top)) -ge "$ay" ] ||
    fail "the frame starts off the screen"
  [ $((x + w + right)) -le $((ax + aw)) ] || fail "the window is wider than the screen"
  [ $((y + h + bottom)) -le $((ay + ah)) ] || fail "the window is taller than the screen"
  if [ -z "${minw:-}" ]; then
    fail "the window states no minimum size"
  else
    [ $((minw + left + right)) -le "$aw" ] || fail "minimum width $minw does not fit"
    [ $((minh + top + bottom)) -le "$ah" ] || fail "minimum height $minh does not fit"
  fi
  kill "$app_pid" "$wm_pid" "$x_pid" 2>/dev/null
  # Gone before the next case asks for a free display.
  wait "$app_pid" "$wm_pid" "$x_pid" 2>/dev/null
  unset DISPLAY
}

run_case 1024 600 closed
run_case 1024 600 rig
run_case 1024 600 open
run_case 1366 768 open
run_case 1366 768 rig
run_case 1920 1080 open
run_case 1920 1080 rig
echo "window on screen: $failures failed"
[ "$failures" -eq 0 ]
