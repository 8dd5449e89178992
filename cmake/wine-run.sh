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

# Parallel tests share the prefix, so only one may create it.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1
      wineserver -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec wine "$@"
