# Builds the browser page, $SKARNEL_BUILD/web/skarnel.html: the codec and the
# tools' writers compiled to WebAssembly with Debian's emscripten, the
# libraries from Debian's source packages (emscripten's own ports would
# download theirs), put together with the page's script into one file.
# Sourced after packages.sh and build.sh.

SKARNEL_WEB_PACKAGES=(emscripten python3)
# The page may not grow past this.
SKARNEL_WEB_MAX_BYTES=$((1536 * 1024))

skarnel_build_web() {
  local dir="$SKARNEL_BUILD/web"
  echo "== build web"
  mkdir -p "$dir"
  SKARNEL_THIRD_PARTY_PACKAGES+=(zlib)
  skarnel_fetch_third_party || return 1
  # emscripten's tools run the machine's node, which needs Debian's folder
  # of node modules named.
  export NODE_PATH=/usr/share/nodejs
  if [ ! -f "$dir/cmake/build.ninja" ] &&
    ! (cd "$SKARNEL_ROOT" && emcmake cmake -S . -B "$dir/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DSKARNEL_TESTS=OFF -DSKARNEL_WERROR=ON -DSKARNEL_THIRD_PARTY_DIR="$SKARNEL_THIRD_PARTY") \
      >"$dir/configure.log" 2>&1; then
    cat "$dir/configure.log" >&2
    return 1
  fi
  ninja -C "$dir/cmake" -j2 skarnel_module make_demo decode_bench >"$dir/build.log" 2>&1 || {
    grep -vE '^\[[0-9]+/[0-9]+\] ' "$dir/build.log" >&2
    return 1
  }
  # The built-in palette is the demo generator's Demo.pal, the same bytes.
  local demo="$dir/demo"
  mkdir -p "$demo"
  node "$dir/cmake/web/demo/make_demo.js" "$demo" &&
    /usr/bin/python3 "$SKARNEL_ROOT/web/make_page.py" "$SKARNEL_ROOT/web/page" \
      "$dir/cmake/web/skarnel_module.js" "$demo/Demo.pal" "$dir/skarnel.html" || return 1
  local size
  size=$(stat -c %s "$dir/skarnel.html")
  echo "   skarnel.html: $size bytes"
  if [ "$size" -gt "$SKARNEL_WEB_MAX_BYTES" ]; then
    echo "skarnel.html is larger than $SKARNEL_WEB_MAX_BYTES bytes" >&2
    return 1
  fi
}
