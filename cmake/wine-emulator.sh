#!/bin/sh
# Runs a Windows test program under Wine, but only inside a Wine session set up
# by the scripts (private prefix, display, code page), never in ~/.wine.
if [ -z "${WINEPREFIX:-}" ]; then
  echo "WINEPREFIX is not set: run the Windows tests through scripts/test" >&2
  exit 125
fi
exec /usr/lib/wine/wine64 "$@"
