#!/usr/bin/env bash
# Full-scale benchmark: Tovel's whole run on a 9999-file series of 250 points
# against floors of the same I/O:
#   concatenation: cat of every input into a file, cp and ls of it;
#   read and write: cat of every input to /dev/null, writing a file the size
#   of the table, cp and ls of it;
#   plain read and write: the same with every input read by a plain loop of
#   read(2) (tovel_read_inputs) in place of cat, which on Debian 12 maps a
#   fresh buffer for each file it writes to /dev/null.
# The first fits series whose files are about as large as the table (plain),
# the others series whose files are much larger (numpy); the last is the
# tightest.
#
#   bench/full_series.sh [ROUNDS] [FORMAT...]   (default 5 rounds, plain and numpy; needs GNU time)
#
# FORMAT is plain (4 to 7 digits, mixed separators, 36 MB) or numpy (two
# values in %.18e, as numpy.savetxt writes them, 125 MB). For each it prints
# the medians of the run, of the run with --plot and of the floors, the
# ratios, the run's peak
# resident memory at K = 10 and K = 9999, and its time at K = 10, 1000 and
# 9999 with the time each further file adds.
set -euo pipefail
rounds=${1:-5}
shift || true
formats=("$@")
[ "${#formats[@]}" -gt 0 ] || formats=(plain numpy)
root=$(cd "$(dirname "$0")/.." && pwd)

if [ ! -x /usr/bin/time ]; then
  echo "installing GNU time" >&2
  apt-get update -qq && apt-get install -y -qq time >/dev/null
fi
cmake --preset default >/dev/null
cmake --build --preset default >/dev/null
tovel=$root/build/tovel

work=$(mktemp -d /tmp/tovel-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

now() { date +%s%N; }
run_tovel() { printf '0\n' | "$tovel" PREFIX "$1" > /dev/null; }
run_tovel_plot() { printf '0\n' | "$tovel" --plot PREFIX "$1" > /dev/null; }
concatenation_floor() { cat PREFIX*.DAT > floor.txt && cp floor.txt floor.csv && ls -l floor* > /dev/null; }
write_table_size() {
  dd if=/dev/zero of=floor.txt bs=64K count="$table_size" iflag=count_bytes status=none &&
    cp floor.txt floor.csv && ls -l floor* > /dev/null
}
read_write_floor() { cat PREFIX*.DAT > /dev/null && write_table_size; }
plain_read_write_floor() { "$root/build/tovel_read_inputs" PREFIX*.DAT > /dev/null && write_table_size; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
ms() { awk -v ns="$1" 'BEGIN {printf "%.1f", ns / 1e6}'; }

for format in "${formats[@]}"; do
  mkdir "$work/$format"
  cd "$work/$format"
  "$root/build/tovel_generate_series" . PREFIX 9999 250 20261208 "$format"
  echo "== $format series: $(ls PREFIX*.DAT | wc -l) files, $(cat PREFIX*.DAT | wc -c) bytes"

  run_tovel 9999  # warms the page cache and gives the table's size
  table_size=$(stat -c %s All_PREFIX.txt)
  floors=(concatenation read_write plain_read_write)
  for floor in "${floors[@]}"; do "${floor}_floor"; done
  : > tovel.times
  : > plot.times
  for floor in "${floors[@]}"; do : > "$floor.times"; done
  for _ in $(seq "$rounds"); do
    t0=$(now); run_tovel 9999; t1=$(now); run_tovel_plot 9999; t2=$(now)
    echo $((t1 - t0)) >> tovel.times
    echo $((t2 - t1)) >> plot.times
    for floor in "${floors[@]}"; do
      t0=$(now); "${floor}_floor"; t1=$(now)
      echo $((t1 - t0)) >> "$floor.times"
    done
  done
  tovel_median=$(median < tovel.times)
  plot_median=$(median < plot.times)
  echo "whole run, K=9999 (median of $rounds): $(ms "$tovel_median") ms"
  awk -v a="$plot_median" -v b="$tovel_median" -v size="$(stat -c %s All_PREFIX.svg)" \
    'BEGIN {printf "with --plot: %.1f ms (%+.1f%%), picture of %d bytes\n", a / 1e6, (a / b - 1) * 100, size}'

  for floor in "${floors[@]}"; do
    floor_median=$(median < $floor.times)
    awk -v name="$floor" -v a="$tovel_median" -v b="$floor_median" \
      'BEGIN {printf "%s floor (median): %.1f ms; ratio run/floor: %.2f\n", name, b / 1e6, a / b}'
  done

  for k in 10 9999; do
    kib=$( { printf '0\n' | /usr/bin/time -f %M "$tovel" PREFIX "$k" > /dev/null; } 2>&1 | tail -n 1)
    echo "peak resident memory, K=$k: $kib KiB"
  done

  : > k10.times
  : > k1000.times
  for _ in $(seq "$rounds"); do
    t0=$(now); run_tovel 10; t1=$(now); run_tovel 1000; t2=$(now)
    echo $((t1 - t0)) >> k10.times
    echo $((t2 - t1)) >> k1000.times
  done
  k10=$(median < k10.times)
  k1000=$(median < k1000.times)
  echo "time K=10 (median): $(ms "$k10") ms; K=1000: $(ms "$k1000") ms; K=9999: $(ms "$tovel_median") ms"
  awk -v a="$tovel_median" -v b="$k1000" \
    'BEGIN {printf "scaling: K=9999 takes %.2f x K=1000 (linear: 9.999)\n", a / b}'
  awk -v a="$k10" -v b="$k1000" -v c="$tovel_median" 'BEGIN {
    printf "time per further file: K=10 to 1000: %.1f us; K=1000 to 9999: %.1f us\n",
      (b - a) / 990 / 1e3, (c - b) / 8999 / 1e3 }'
  cd "$work"
  rm -rf "$work/$format"
done
