# Runs the libFuzzer targets of the fuzz build.

SKARNEL_FUZZ_TARGETS=(bmp shp pal image mix)

# skarnel_run_fuzz TARGET SECONDS: fuzzes from the committed seeds and kept
# reproducers; new inputs go to the build folder, never into the repository.
# Returns non-zero when the target found a crash, leak, hang or undefined
# behaviour; the input that did it is kept in $SKARNEL_BUILD/fuzz/artifacts.
skarnel_run_fuzz() {
  local target=$1 seconds=$2
  local dir="$SKARNEL_BUILD/fuzz"
  local work="$dir/work/$target" seeds="$SKARNEL_ROOT/tests/fuzz/corpus/$target"
  local kept="$SKARNEL_ROOT/tests/fuzz/regressions/$target"
  mkdir -p "$work" "$dir/artifacts"
  local inputs=("$work" "$seeds")
  [ -d "$kept" ] && inputs+=("$kept")
  "$dir/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$dir/artifacts/$target-" -print_final_stats=1 "${inputs[@]}" \
    >"$dir/$target.log" 2>&1
  local rc=$?
  grep -E '^stat::number_of_executed_units' "$dir/$target.log" | sed "s/^/   $target: /"
  if [ $rc -ne 0 ]; then
    grep -E 'ERROR|SUMMARY|Test unit written' "$dir/$target.log" | head -n 5 | sed 's/^/   /'
    echo "   (details: $dir/$target.log)"
  fi
  return $rc
}
