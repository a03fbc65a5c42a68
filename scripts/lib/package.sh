# Helpers of scripts/package.

# The DLLs every Windows has; a program that imports any other would not
# start on a machine without it.
SKARNEL_SYSTEM_DLLS=(
  kernel32.dll user32.dll gdi32.dll comdlg32.dll shell32.dll ole32.dll oleaut32.dll
  advapi32.dll comctl32.dll shlwapi.dll msvcrt.dll ws2_32.dll
)

# skarnel_check_system_imports EXE: fails, naming them, when the program
# imports DLLs outside SKARNEL_SYSTEM_DLLS.
skarnel_check_system_imports() {
  local exe=$1 dll foreign=()
  local imports
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
  [ -n "$imports" ] || { echo "$exe: no imports found" >&2; return 1; }
  for dll in $imports; do
    [[ " ${SKARNEL_SYSTEM_DLLS[*]} " == *" $dll "* ]] || foreign+=("$dll")
  done
  if [ ${#foreign[@]} -gt 0 ]; then
    echo "$(basename "$exe") needs DLLs that Windows does not have: ${foreign[*]}" >&2
    return 1
  fi
}

# skarnel_windows_text FROM TO: a copy with CRLF line ends and a UTF-8 byte
# order mark, so that every Notepad opens the Russian text right.
skarnel_windows_text() {
  { printf '\xEF\xBB\xBF'; sed 's/$/\r/' "$1"; } >"$2"
}
