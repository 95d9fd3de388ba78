#!/bin/sh
# Update database against find(1) on a tree of 1,000,000 entries (100,000 folders,
# 900,000 empty files) placed on drive C: of a fresh machine outside the repository.
# Prints both times (best of RUNS), their ratio and korvex-cli's peak memory.
# Aim: korvex-cli update <= 1.25 x find, peak resident memory < 64 MB.
#
#   bench/walk_update.sh [BUILD_DIR] [WORK_DIR]
#   (defaults: build, /tmp/korvex-bench-walk; RUNS=3 FOLDERS=100000 FILES=900000)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
default_work=/tmp/korvex-bench-walk
. "$here/bench_tree.sh"

# Warm the caches: both contenders read the same directories.
find "$tree" -printf '%f\n' >/dev/null
"$cli" --machine "$machine" update --drives C: >/dev/null 2>&1

entries=$(find "$tree" -mindepth 1 | wc -l)
r_find=$(best find "$tree" -printf '%f\n')
r_update=$(best "$cli" --machine "$machine" update --drives C:)
list=$tree/Program\ Files/Korvex/Cdbase.kvd
load=$(cut -d' ' -f1 /proc/loadavg)

printf 'entries below C:\\               %s\n' "$entries"
printf 'file list                       %s lines, %s bytes\n' "$(wc -l <"$list")" "$(wc -c <"$list")"
printf 'load average during the runs    %s (on %s processors)\n' "$load" "$(nproc)"
set -- $r_find
f_el=$1 f_cpu=$2
set -- $r_update
u_el=$1 u_cpu=$2 rss_kb=$3
printf 'find -printf %%f, best of %s      %s s elapsed, %s s cpu\n' "$runs" "$f_el" "$f_cpu"
printf 'korvex-cli update, best of %s   %s s elapsed, %s s cpu\n' "$runs" "$u_el" "$u_cpu"
printf 'ratio update / find             %.2f elapsed, %.2f cpu (aim <= 1.25)\n' \
    "$(echo "$u_el / $f_el" | bc -l)" "$(echo "$u_cpu / $f_cpu" | bc -l)"
printf 'peak memory of the update       %.1f MB (aim < 64)\n' "$(echo "$rss_kb / 1024" | bc -l)"
if [ -x "$build/bench/bench_tree_walk" ]; then
    echo "where the walk's time goes:"
    "$build/bench/bench_tree_walk" "$machine" "$runs" | sed 's/^/  /'
fi
