#!/bin/sh
# Speed and memory of epgindex on generated schedule files (kept in /tmp,
# never in the repo, reused when present):
#   - time on a file of at least 1 GB against `cat FILE >/dev/null` and
#     `wc -l FILE`, best of 3 each after warming the page cache;
#   - peak resident memory on a 10 MB and on the large file;
#   - instructions per input byte (callgrind) on a 20 MB file.
# Goals: at most 1.5x the time of wc -l (never 2x), under 1 instruction per
# byte, the same peak memory under 2 MB for both sizes.
#   bench/run.sh [MEGABYTES]   size of the large file, default 1000
#   bench/run.sh clean         removes the generated files
set -eu
cd "$(dirname "$0")/.."
dir=${TMPDIR:-/tmp}/quarn-bench
if [ "${1:-}" = clean ]; then
  rm -rf "$dir"
  exit 0
fi
megabytes=${1:-1000}
build=build/bench

cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build $build --target epgindex make_schedule >/dev/null
epgindex=$PWD/$build/epgindex

mkdir -p "$dir"
large=$dir/schedule-${megabytes}mb.txt
medium=$dir/schedule-20mb.txt
small=$dir/schedule-10mb.txt
for entry in "$large $megabytes" "$medium 20" "$small 10"; do
  set -- $entry
  [ -f "$1" ] || "$build/make_schedule" "$1" "$2" 1
done
bytes=$(wc -c <"$large")

millis() { echo $(($(date +%s%N) / 1000000)); }
# Best wall time of 3 runs, in milliseconds; $prepare runs before each, untimed.
prepare=true
best() {
  best_ms=""
  for run in 1 2 3; do
    $prepare
    start=$(millis)
    "$@" >/dev/null
    ms=$(($(millis) - start))
    if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; fi
  done
  echo "$best_ms"
}
remove_indexes() { rm -f "$large.idxc" "$large.idxe"; }
catfile() { cat "$1" >/dev/null; }

cat "$large" >/dev/null  # warm the page cache
t_cat=$(best catfile "$large")
t_wc=$(best wc -l "$large")
prepare=remove_indexes
t_new=$(best "$epgindex" "$large")
prepare=true
t_replace=$(best "$epgindex" "$large")

rate() { awk "BEGIN { printf \"%8.0f\", $bytes / 1000000 / ($1 / 1000) }"; }
ratio() { awk "BEGIN { printf \"%.2f\", $1 / $t_wc }"; }
echo "Schedule file: $large ($bytes bytes, $(grep -c '^C ' "$large") channels)"
echo "Index files: $(wc -c <"$large.idxc") + $(wc -c <"$large.idxe") bytes"
echo
printf '%-36s %8s %8s %12s\n' "time, best of 3" ms MB/s "x wc -l"
printf '%-36s %8s %8s %12s\n' "cat FILE >/dev/null" "$t_cat" "$(rate "$t_cat")" "$(ratio "$t_cat")"
printf '%-36s %8s %8s %12s\n' "wc -l FILE" "$t_wc" "$(rate "$t_wc")" "1.00"
printf '%-36s %8s %8s %12s\n' "epgindex FILE (no index files yet)" "$t_new" "$(rate "$t_new")" \
  "$(ratio "$t_new")"
printf '%-36s %8s %8s %12s\n' "epgindex FILE (replacing indexes)" "$t_replace" \
  "$(rate "$t_replace")" "$(ratio "$t_replace")"

# Peak resident set in kilobytes.
peak() {
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1
  else
    python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$@"
  fi
}
echo
printf '%-36s %8s\n' "peak resident memory" KB
printf '%-36s %8s\n' "epgindex, 10 MB file" "$(peak "$epgindex" "$small")"
printf '%-36s %8s\n' "epgindex, $megabytes MB file" "$(peak "$epgindex" "$large")"
printf '%-36s %8s\n' "wc -l, $megabytes MB file" "$(peak wc -l "$large")"

echo
if command -v valgrind >/dev/null; then
  medium_bytes=$(wc -c <"$medium")
  instructions=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$epgindex" "$medium" 2>&1 |
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p')
  printf '%-36s %s instructions / %s bytes = %s per byte\n' "callgrind, 20 MB file" \
    "$instructions" "$medium_bytes" "$(awk "BEGIN { printf \"%.3f\", $instructions / $medium_bytes }")"
else
  echo "valgrind missing: no instruction count (apt-get install valgrind)"
fi
rm -f "$large.idxc" "$large.idxe" "$medium.idxc" "$medium.idxe" "$small.idxc" "$small.idxe"
