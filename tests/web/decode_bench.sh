#!/usr/bin/env bash
# The page's decoding against the native one, side by side in one run: the
# same routines (decode_bench, built natively and as WebAssembly) on the
# same demo sprites, one thread each, warm: a whole load, and the decoding
# of every frame alone. The WebAssembly's decoding should take at most
# twice as long. Then the page's longest task while a 100 MB sprite
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

# Each program prints "L us per load, D us per decode".
printf '%-12s %10s %10s %6s %10s %10s %6s\n' sprite "load nat" "load wasm" ratio "dec nat" "dec wasm" ratio
for sprite in waves spinner ball; do
  read -r nl _ _ _ nd _ < <("$native" "$demo/$sprite.shp" "$repetitions")
  read -r wl _ _ _ wd _ < <(node "$wasm" "$demo/$sprite.shp" "$repetitions")
  printf '%-12s %10s %10s %6s %10s %10s %6s\n' "$sprite.shp" "$nl" "$wl" \
    "$(awk -v n="$nl" -v w="$wl" 'BEGIN { printf "%.2f", w / n }')" "$nd" "$wd" \
    "$(awk -v n="$nd" -v w="$wd" 'BEGIN { printf "%.2f", w / n }')"
done

# The page itself, in headless Chromium, while a large sprite loads.
/usr/bin/python3 "$SKARNEL_ROOT/tests/web/large_sprite_bench.py" "$SKARNEL_BUILD/web/skarnel.html" \
  "$SKARNEL_BUILD/web/bench"
