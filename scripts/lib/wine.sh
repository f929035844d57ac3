# Sourced by the scripts that run Windows programs under Wine (scripts/test-windows,
# scripts/screenshot-windows, scripts/check-installer).

# start_wine <prefix>: makes <prefix> the Wine prefix, starts a Wine server of its own for it
# (otherwise ctest and the scripts wait on Wine's background processes) and prepares the prefix.
# No other Wine server is touched; stop_wine stops this one.
start_wine() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  # No prompts to install Wine's .NET and HTML engines, and no debugger started for a program that
  # crashes (it would wait on a test for ever instead of letting it fail).
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  mkdir -p "$WINEPREFIX"
  wineserver -k 2>/dev/null || true  # a server an interrupted run left in this prefix
  wineserver -p </dev/null >/dev/null 2>&1
  wine wineboot >"$WINEPREFIX/wineboot.log" 2>&1 || { cat "$WINEPREFIX/wineboot.log" >&2; return 1; }
}

# wineserver -k returns 1 when no server runs; stopping must not fail the script.
stop_wine() {
  wineserver -k 2>/dev/null || true
}
