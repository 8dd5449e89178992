#!/bin/sh
# Runs a Windows test program under Wine the way a Japanese desktop would:
# code page 932, no debug noise, and a prefix of its own unless one is given.
# GUI programs also need an X server in DISPLAY (Xvfb will do).
set -eu

export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
# No .NET or HTML engine: they would only be offered for download.
export WINEDLLOVERRIDES="mscoree=;mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/brellam-wine-$(id -u)}"

if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: DISPLAY is unset; GUI programs will fail" >&2
fi

mkdir -p "$WINEPREFIX"
(
  # Parallel tests share the prefix and its server.
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 9>&-
  fi
  # Keeping the server a while spares the next test a restart. A server we
  # start gets its background processes from wineboot, so they inherit
  # neither the lock nor our output: a test runner waits for every holder of
  # its pipe. The server refuses (status 2) if one is already running.
  if wineserver -p30 2>/dev/null 9>&-; then
    wineboot </dev/null >/dev/null 2>&1 9>&-
  fi
) 9>"$WINEPREFIX.lock"

exec wine "$@"
