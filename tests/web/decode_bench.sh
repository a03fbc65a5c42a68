#!/usr/bin/env bash
# The page's decoding against the native one, side by side in one run: the
# same loading routine (decode_bench, built natively and as WebAssembly) on
# the same demo sprites, one thread each, warm. The WebAssembly should take
# at most twice as long. Then the page's longest task while a 100 MB sprite
# loads (at most 200 ms).
#   tests/web/decode_bench.sh [REPETITIONS]   (after scripts/test or scripts/web
#   and a native build of decode_bench and make_demo)
set -euo pipefail

SKARNEL_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
SKARNEL_BUILD=${SKARNEL_BUILD_DIR:-$SKARNEL_ROOT/build}
repetitions=${1:-300}
native="$SKARNEL_BUILD/native/web/decode_bench"
wasm="$SKARNEL_BUILD/web/cmake/web/decode_bench.js"
demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
"$SKARNEL_BUILD/native/app/demo/make_demo" "$demo" >/dev/null

printf '%-12s %14s %14s %8s\n' sprite "native us" "wasm us" ratio
for sprite in waves spinner ball; do
  n=$("$native" "$demo/$sprite.shp" "$repetitions" | awk '{print $1}')
  w=$(node "$wasm" "$demo/$sprite.shp" "$repetitions" | awk '{print $1}')
  printf '%-12s %14s %14s %8s\n' "$sprite.shp" "$n" "$w" "$(awk -v n="$n" -v w="$w" 'BEGIN { printf "%.2f", w / n }')"
done

# The page itself, in headless Chromium, while a large sprite loads.
/usr/bin/python3 "$SKARNEL_ROOT/tests/web/large_sprite_bench.py" "$SKARNEL_BUILD/web/skarnel.html" \
  "$SKARNEL_BUILD/web/bench"
