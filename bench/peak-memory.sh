#!/usr/bin/env bash
# Peak memory of reading a large plot: kestrel-convert --info under /usr/bin/time, with each
# reading, for the benchmark plot as written (a command a line) and the same plot on one line.
# usage: bench/peak-memory.sh [BUILD_DIR] [SEGMENTS]
set -euo pipefail
build=${1:-build}
segments=${2:-10000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/make_bench_plot" "$segments" "$work/lines.hpg"
tr -d '\r\n' < "$work/lines.hpg" > "$work/one-line.hpg"
table=$(( (segments + 1) * 20 / 1048576 ))
for reading in plotter basic; do
  for plot in lines.hpg one-line.hpg; do
    option=(); [ "$reading" = basic ] && option=(--basic)
    /usr/bin/time -f '%M %e' -o "$work/time" "$build/src/kestrel-convert" "${option[@]}" --info "$work/$plot" > "$work/info"
    read -r rss seconds < "$work/time"
    size=$(( $(stat -c %s "$work/$plot") / 1048576 ))
    echo "$reading $plot: $(grep segments "$work/info"), file $size MiB, segment table $table MiB, peak RSS $(( rss / 1024 )) MiB, $seconds s"
  done
done
