# A private Wine session: an Xvfb display (unless one is given), a warm
# persistent wineserver with its own prefix under the build folder, code page
# 1251 with a privately compiled Russian locale. Only what was started here is
# ended here.

SKARNEL_WINE=/usr/lib/wine/wine64
SKARNEL_WINESERVER=/usr/lib/wine/wineserver
SKARNEL_XVFB_PID=

skarnel_start_display() {
  local fdfile="$SKARNEL_BUILD/xvfb.display"
  rm -f "$fdfile"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" </dev/null >/dev/null 2>&1 &
  SKARNEL_XVFB_PID=$!
  local i
  for i in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  [ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$fdfile")"
}

skarnel_compile_locale() {
  local dir="$SKARNEL_BUILD/locale"
  # Russian for code page 1251; English (1252) for the tests of file names
  # outside the system's code page.
  local name
  for name in ru_RU en_US; do
    if [ ! -d "$dir/$name.UTF-8" ]; then
      mkdir -p "$dir"
      localedef -i "$name" -f UTF-8 "$dir/$name.UTF-8" >/dev/null 2>&1 || true
    fi
  done
  # Bash itself cannot see the private locale; only its children need it.
  { export LOCPATH="$dir" LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8; } 2>/dev/null
}

# Starts the session; with "own-display" it always uses a new virtual display.
skarnel_start_wine() {
  [ "${1:-}" = own-display ] || [ -z "${DISPLAY:-}" ] && skarnel_start_display
  skarnel_compile_locale
  export WINEPREFIX="$SKARNEL_BUILD/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  # The server's helper services keep inherited pipes open: give them none.
  "$SKARNEL_WINESERVER" -p </dev/null >/dev/null 2>&1
  "$SKARNEL_WINE" wineboot -i </dev/null >/dev/null 2>&1
  # Wine draws the caption buttons with its Marlett font, but reads no font
  # from its own font folder here: without a copy in the prefix the buttons
  # show the letters "0 1 r".
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  [ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  # No window manager: let Wine draw frames itself (hiding a window otherwise
  # costs seconds), and let a crash end the process instead of waiting on a
  # dialog.
  "$SKARNEL_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    </dev/null >/dev/null 2>&1
  "$SKARNEL_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    </dev/null >/dev/null 2>&1
  trap skarnel_stop_wine EXIT
}

skarnel_stop_wine() {
  if [ -n "${WINEPREFIX:-}" ]; then
    "$SKARNEL_WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    "$SKARNEL_WINESERVER" -w </dev/null >/dev/null 2>&1 || true
  fi
  if [ -n "$SKARNEL_XVFB_PID" ]; then
    kill "$SKARNEL_XVFB_PID" 2>/dev/null || true
    wait "$SKARNEL_XVFB_PID" 2>/dev/null || true
    SKARNEL_XVFB_PID=
  fi
}
