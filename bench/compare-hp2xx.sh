#!/usr/bin/env bash
# Times kestrel-convert against hp2xx on the 150000-segment benchmark plot, side by side,
# each as a whole process: read, draw, write a raster image.
# usage: bench/compare-hp2xx.sh [BUILD_DIR] [RUNS]    (defaults: build, 30)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-30}

for tool in hyperfine hp2xx jq; do
  command -v "$tool" >/dev/null || { echo "compare-hp2xx: $tool is not installed" >&2; exit 1; }
done
for bin in src/kestrel-convert bench/make_bench_plot; do
  [ -x "$build/$bin" ] || { echo "compare-hp2xx: $build/$bin is not built" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$build/bench/make_bench_plot" 150000 plot.hpg

# Comparable raster sizes: hp2xx at 232 dpi and our 1829 x 1281 pixels.
hyperfine -N --warmup 3 --runs "$runs" --export-json times.json \
  -n kestrel-convert "$build/src/kestrel-convert plot.hpg -o out.bmp --size 1829x1281" \
  -n hp2xx "hp2xx -q -m pbm -d 232 -f out.pbm plot.hpg"

jq -r '
  (.results[] | select(.command == "kestrel-convert")) as $k
  | (.results[] | select(.command == "hp2xx")) as $h
  | "kestrel-convert: mean \($k.mean * 1000 | floor) ms, median \($k.median * 1000 | floor) ms\n"
  + "hp2xx:           mean \($h.mean * 1000 | floor) ms, median \($h.median * 1000 | floor) ms\n"
  + "hp2xx / kestrel-convert: \($h.mean / $k.mean * 100 | round / 100) (mean), "
  + "\($h.median / $k.median * 100 | round / 100) (median)"' times.json
