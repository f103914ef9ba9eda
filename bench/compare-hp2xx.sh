#!/usr/bin/env bash
# Times kestrel-convert against hp2xx, side by side, each as a whole process: on the
# 150000-segment benchmark plot, read, draw and write a raster image (BMP against PBM, then
# PNG against PNG); on a 1.5-million-segment plot, reading alone (--info) against hp2xx's
# whole conversion, which is the least it does with a file; on the 150000-segment plot
# again, SVG and PDF paths against hp2xx's SVG, with the files' sizes; then the peak memory
# of the 1.5-million-segment plot read alone and written as a PDF.
# usage: bench/compare-hp2xx.sh [BUILD_DIR] [RUNS]    (defaults: build, 30)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-30}

for tool in hyperfine hp2xx awk /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "compare-hp2xx: $tool is not installed" >&2; exit 1; }
done
for bin in src/kestrel-convert bench/make_bench_plot; do
  [ -x "$build/$bin" ] || { echo "compare-hp2xx: $build/$bin is not built" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$build/bench/make_bench_plot" 150000 plot.hpg
"$build/bench/make_bench_plot" 1500000 large.hpg

# Comparable raster sizes: hp2xx at 232 dpi and our 1829 x 1281 pixels.
hyperfine -N --warmup 3 --runs "$runs" --export-csv times.csv \
  -n kestrel-bmp "$build/src/kestrel-convert plot.hpg -o out.bmp --size 1829x1281" \
  -n hp2xx-pbm "hp2xx -q -m pbm -d 232 -f out.pbm plot.hpg" \
  -n kestrel-png "$build/src/kestrel-convert plot.hpg -o out.png --size 1829x1281" \
  -n hp2xx-png "hp2xx -q -m png -d 232 -f out.png plot.hpg" \
  -n kestrel-info-1.5M "$build/src/kestrel-convert --info large.hpg" \
  -n hp2xx-pbm-1.5M "hp2xx -q -m pbm -d 232 -f large.pbm large.hpg" \
  -n kestrel-svg "$build/src/kestrel-convert plot.hpg -o out.svg" \
  -n kestrel-pdf "$build/src/kestrel-convert plot.hpg -o out.pdf" \
  -n hp2xx-svg "hp2xx -q -m svg -f hp2xx.svg plot.hpg"

# times.csv: command,mean,stddev,median,user,system,min,max (seconds).
awk -F, '
  NR > 1 { mean[$1] = $2; median[$1] = $4; cpu[$1] = $5 + $6 }
  function line(name) { printf "%-18s mean %6.1f ms, median %6.1f ms\n", name, mean[name] * 1000, median[name] * 1000 }
  function ratio(h, k) { printf "%s / %s: %.2f (mean), %.2f (median)\n", h, k, mean[h] / mean[k], median[h] / median[k] }
  function used(name) { printf "%-18s user+system %6.1f ms\n", name, cpu[name] * 1000 }
  END {
    line("kestrel-bmp"); line("hp2xx-pbm"); line("kestrel-png"); line("hp2xx-png")
    line("kestrel-info-1.5M"); line("hp2xx-pbm-1.5M")
    ratio("hp2xx-pbm", "kestrel-bmp"); ratio("hp2xx-png", "kestrel-png")
    ratio("hp2xx-pbm-1.5M", "kestrel-info-1.5M")
    line("kestrel-svg"); line("kestrel-pdf"); line("hp2xx-svg")
    ratio("hp2xx-svg", "kestrel-svg"); ratio("hp2xx-svg", "kestrel-pdf")
    used("kestrel-svg"); used("kestrel-pdf"); used("hp2xx-svg")
  }' times.csv
# Ours at 1:1 in the pens' colours, hp2xx's at its own size.
wc -c out.svg out.pdf hp2xx.svg | awk '$2 != "total" { printf "%-18s %9d bytes\n", $2, $1 }'
for run in "--info large.hpg" "large.hpg -o large.pdf"; do
  /usr/bin/time -f "%M" -o rss.txt "$build/src/kestrel-convert" $run >/dev/null
  printf "%-32s peak %6.1f MB\n" "kestrel-convert $run" "$(awk '{ print $1 / 1024 }' rss.txt)"
done
wc -c large.pdf | awk '{ printf "%-18s %9d bytes\n", $2, $1 }'
