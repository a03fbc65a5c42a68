# Configures and builds one configuration of the project from its preset in
# CMakePresets.json (native, sanitize, fuzz, windows).
# Usage: skarnel_build NAME; the tree goes to $SKARNEL_BUILD/NAME.
# SKARNEL_TARGETS, when set, names the ninja targets to build instead of all.

source "$SKARNEL_ROOT/scripts/lib/third_party.sh"

skarnel_build() {
  local name=$1
  local dir="$SKARNEL_BUILD/$name"
  echo "== build $name"
  mkdir -p "$dir"
  skarnel_fetch_third_party || return 1
  if ! (cd "$SKARNEL_ROOT" && cmake --preset "$name" -B "$dir" \
    -DSKARNEL_THIRD_PARTY_DIR="$SKARNEL_THIRD_PARTY") >"$dir.configure.log" 2>&1; then
    cat "$dir.configure.log" >&2
    return 1
  fi
  local rc=0
  # shellcheck disable=SC2086
  ninja -C "$dir" ${SKARNEL_TARGETS:-} >"$dir.build.log" 2>&1 || rc=$?
  # Progress lines say nothing; warnings and errors are shown.
  grep -vE '^(\[[0-9]+/[0-9]+\] |ninja: (Entering|no work))' "$dir.build.log" || true
  return $rc
}

skarnel_build_native() { skarnel_build native; }
skarnel_build_sanitize() { skarnel_build sanitize; }
skarnel_build_windows() { skarnel_build windows; }
skarnel_build_fuzz() { SKARNEL_TARGETS=fuzz_targets skarnel_build fuzz; }
