#!/usr/bin/env bash
# Full-scale benchmark: Tovel's whole run on a full series (9999 files of 250
# points, or 999 of 4001) against the floor of the same I/O in one process,
# the work no collator can skip (tovel_io_floor): every input read with a
# plain loop of read(2) into one 64 KiB buffer, a file of the table's size
# written in 64 KiB writes, then cp and ls of it through the shell. Runs and
# floors alternate, so that both meet the same machine.
#
#   bench/full_series.sh [ROUNDS] [SERIES...]   (default 7 rounds, all three; needs GNU time)
#
# SERIES is plain (9999 files of 250 points, 4 to 7 digits, mixed
# separators, 36 MB), numpy (the same as numpy.savetxt writes them, two
# values in %.18e, 125 MB) or long (999 files of 4001 points in plain
# values, 59 MB, read with --max-points 4001). For each it prints the
# medians of:
#   - the run with the default jobs (the online CPUs, up to 8) and with -j 1,
#     and the run with --plot, against the floor, pages cached;
#   - the run and the floor with the series dropped from the page cache
#     before each (tovel_drop_cache: POSIX_FADV_DONTNEED, no root needed);
#   - a 2-file series with the default jobs and with -j 1;
# and the run's peak resident memory at K = 10 and at the whole series.
set -euo pipefail
rounds=${1:-7}
shift || true
formats=("$@")
[ "${#formats[@]}" -gt 0 ] || formats=(plain numpy long)
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
# The warnings of a series (the long one has one) are not what is timed.
run_tovel() { "$tovel" -n "${options[@]}" "$@" > /dev/null 2>&1; }
floor() { "$root/build/tovel_io_floor" PREFIX "$files" "$table_size"; }
drop() { "$root/build/tovel_drop_cache" PREFIX*.DAT; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
ms() { awk -v ns="$1" 'BEGIN {printf "%.1f", ns / 1e6}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
# Times each command of a round, rounds times over, in turn: timed NAME CMD...
timed() {
  local names=() cmds=() i
  while [ $# -gt 0 ]; do names+=("$1"); cmds+=("$2"); shift 2; done
  for name in "${names[@]}"; do : > "$name.times"; done
  for _ in $(seq "$rounds"); do
    for i in "${!names[@]}"; do
      local t0 t1
      t0=$(now); eval "${cmds[$i]}"; t1=$(now)
      echo $((t1 - t0)) >> "${names[$i]}.times"
    done
  done
}

for format in "${formats[@]}"; do
  mkdir "$work/$format"
  cd "$work/$format"
  case "$format" in
    long) files=999 points=4001 values=plain options=(--max-points 4001) ;;
    *) files=9999 points=250 values=$format options=() ;;
  esac
  "$root/build/tovel_generate_series" . PREFIX "$files" "$points" 20261208 "$values"
  echo "== $format series: $files files of $points points, $(cat PREFIX*.DAT | wc -c) bytes"

  run_tovel PREFIX "$files"  # warms the page cache and gives the table's size
  table_size=$(stat -c %s All_PREFIX.txt)
  # --plot right after the plain run, so that the two meet the same
  # writeback of earlier runs' tables.
  timed run "run_tovel PREFIX $files" plot "run_tovel --plot PREFIX $files" \
    serial "run_tovel -j 1 PREFIX $files" floor floor
  run=$(median < run.times)
  floor_cached=$(median < floor.times)
  echo "pages cached: run $(ms "$run") ms, -j 1 $(ms "$(median < serial.times)") ms," \
    "--plot $(ms "$(median < plot.times)") ms, floor $(ms "$floor_cached") ms;" \
    "run/floor $(ratio "$run" "$floor_cached")"

  : > cold_run.times
  : > cold_floor.times
  for _ in $(seq "$rounds"); do
    drop; t0=$(now); run_tovel PREFIX "$files"; t1=$(now)
    echo $((t1 - t0)) >> cold_run.times
    drop; t0=$(now); floor; t1=$(now)
    echo $((t1 - t0)) >> cold_floor.times
  done
  cold_run=$(median < cold_run.times)
  cold_floor=$(median < cold_floor.times)
  echo "cold: run $(ms "$cold_run") ms, floor $(ms "$cold_floor") ms;" \
    "run/floor $(ratio "$cold_run" "$cold_floor")"

  for k in 10 "$files"; do
    kib=$( { /usr/bin/time -f %M "$tovel" -n "${options[@]}" PREFIX "$k" > /dev/null; } 2>&1 | tail -n 1)
    echo "peak resident memory, K=$k: $kib KiB"
  done

  small_rounds=$rounds
  rounds=$((10 * small_rounds))  # a short run wants more of them
  timed two "run_tovel PREFIX 2" two_serial "run_tovel -j 1 PREFIX 2"
  rounds=$small_rounds
  echo "2 files: run $(ms "$(median < two.times)") ms, -j 1 $(ms "$(median < two_serial.times)") ms"
  cd "$work"
  rm -rf "$work/$format"
done
