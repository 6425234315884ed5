#!/usr/bin/env bash
# Runs every fuzz target built in the given directory for a short while, starting
# from its seed corpus under fuzz/corpus/<target> when there is one.
set -euo pipefail
build_dir=${1:-build-fuzz}
seconds=${FUZZ_SECONDS:-15}
shopt -s nullglob
ran=0
for target in "$build_dir"/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=$(mktemp -d)
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$corpus/"
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -print_final_stats=0 "$corpus" 2>"$corpus.log" \
    || { tail -n 60 "$corpus.log"; exit 1; }
  rm -rf "$corpus" "$corpus.log"
  ran=$((ran + 1))
done
echo "fuzz targets run: $ran"
