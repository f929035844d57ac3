# Sourced by the scripts that show windows on a virtual X display (scripts/screenshot,
# scripts/screenshot-windows, scripts/check-installer). Needs Xvfb and x11-utils.

# start_display <work folder>: starts Xvfb on a free display number, exports DISPLAY and sets
# xvfb_pid; the caller stops it with stop_display.
start_display() {
  local work="$1"
  # Xvfb picks a free display number and writes it to the file descriptor given.
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$work/display")"
}

stop_display() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
}

# window_id <name> [tries]: the id of the first window whose name contains <name>, once it is
# mapped; tries are 0.1 s apart (default 100).
window_id() {
  for _ in $(seq "${2:-100}"); do
    local id
    id="$(xwininfo -root -tree 2>/dev/null | grep -F -- "$1" | awk '{print $1}' | head -n1)"
    if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# shoot_views <folder>: for the five pages and the settings dialog, calls the caller's
# start_view <view> (view "0" to "4" or "settings"; it starts the program in the background
# showing that view and sets program_pid), captures the window into <folder> as PNG and stops
# the program. WINDOW_TRIES (default 100) bounds the wait for each window, 0.1 s apart.
shoot_views() {
  local out="$1"
  local main_window="Version 2.0"
  shoot_view "$out" 0 page0-status.png "$main_window"
  shoot_view "$out" 1 page1-scan.png "$main_window"
  shoot_view "$out" 2 page2-monitor.png "$main_window"
  shoot_view "$out" 3 page3-help.png "$main_window"
  shoot_view "$out" 4 page4-quarantine.png "$main_window"
  shoot_view "$out" settings settings.png "Configuration"
}

# shoot_view <folder> <view> <file> <window name>
shoot_view() {
  start_view "$2"
  local id
  if ! id="$(window_id "$4" "${WINDOW_TRIES:-100}")"; then
    echo "no window \"$4\" for view $2" >&2
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb has ended" >&2; }
    return 1
  fi
  sleep 1  # let the window finish painting
  import -window "$id" "$1/$3"
  stop_program
  echo "wrote $1/$3"
}

stop_program() {
  [ -n "${program_pid:-}" ] || return 0
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
}
