# Configures and builds one configuration of the project.
# Usage: skarnel_build NAME [cmake options...]; the tree goes to $SKARNEL_BUILD/NAME.
# SKARNEL_TARGETS, when set, names the ninja targets to build instead of all.

source "$SKARNEL_ROOT/scripts/lib/third_party.sh"

skarnel_build() {
  local name=$1
  shift
  local dir="$SKARNEL_BUILD/$name"
  echo "== build $name"
  mkdir -p "$dir"
  skarnel_fetch_third_party || return 1
  if ! cmake -S "$SKARNEL_ROOT" -B "$dir" -G Ninja -DSKARNEL_WERROR=ON \
    -DSKARNEL_THIRD_PARTY_DIR="$SKARNEL_THIRD_PARTY" "$@" \
    >"$dir.configure.log" 2>&1; then
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

skarnel_build_native() {
  skarnel_build native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ \
    -DCMAKE_C_COMPILER=gcc -DSKARNEL_BENCH=ON
}

skarnel_build_sanitize() {
  skarnel_build sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_C_COMPILER=clang-14 -DSKARNEL_SANITIZE=ON
}

skarnel_build_windows() {
  skarnel_build windows -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$SKARNEL_ROOT/cmake/mingw-w64-x86_64.cmake"
}

skarnel_build_fuzz() {
  SKARNEL_TARGETS=fuzz_targets skarnel_build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14 -DSKARNEL_FUZZ=ON
}
