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
build=$(cd "${1:-$here/../build}" && pwd)
work=${2:-/tmp/korvex-bench-walk}
runs=${RUNS:-3}
folders=${FOLDERS:-100000}
files=${FILES:-900000}
cli=$build/korvex-cli
maker=$build/bench/bench_tree_make
machine=$work/machine
tree=$machine/drive_c

for tool in "$cli" "$maker" /usr/bin/time; do
    [ -x "$tool" ] || { echo "missing $tool (build korvex-cli and bench_tree_make; apt-get install time)" >&2; exit 1; }
done

if [ ! -f "$work/.made-$folders-$files" ]; then
    rm -rf "$work"
    mkdir -p "$work"
    "$cli" --machine "$machine" init >/dev/null
    "$maker" "$tree/tree" "$folders" "$files"
    touch "$work/.made-$folders-$files"
fi

# Warm the caches: both contenders read the same directories.
find "$tree" -printf '%f\n' >/dev/null
"$cli" --machine "$machine" update --drives C: >/dev/null 2>&1

# One timed run: "elapsed cpu" in seconds (cpu = user + system), from time(1).
timed() {
    /usr/bin/time -f '%e %U %S' -o "$work/.time" "$@" >/dev/null 2>&1
    awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$work/.time"
}
# Best of $runs runs (by elapsed time) of "$@": "elapsed cpu".
best() {
    b=
    i=0
    while [ "$i" -lt "$runs" ]; do
        r=$(timed "$@")
        if [ -z "$b" ] || [ "$(echo "${r% *} < ${b% *}" | bc -l)" = 1 ]; then b=$r; fi
        i=$((i + 1))
    done
    echo "$b"
}

entries=$(find "$tree" -mindepth 1 | wc -l)
r_find=$(best find "$tree" -printf '%f\n')
r_update=$(best "$cli" --machine "$machine" update --drives C:)
rss_kb=$(/usr/bin/time -v "$cli" --machine "$machine" update --drives C: 2>&1 >/dev/null |
         sed -n 's/.*Maximum resident set size (kbytes): *//p')
list=$tree/Program\ Files/Korvex/Cdbase.kvd
load=$(cut -d' ' -f1 /proc/loadavg)

printf 'entries below C:\\               %s\n' "$entries"
printf 'file list                       %s lines, %s bytes\n' "$(wc -l <"$list")" "$(wc -c <"$list")"
printf 'load average during the runs    %s (on %s processors)\n' "$load" "$(nproc)"
printf 'find -printf %%f, best of %s      %s s elapsed, %s s cpu\n' "$runs" "${r_find% *}" "${r_find#* }"
printf 'korvex-cli update, best of %s   %s s elapsed, %s s cpu\n' "$runs" "${r_update% *}" "${r_update#* }"
printf 'ratio update / find             %.2f elapsed, %.2f cpu (aim <= 1.25)\n' \
    "$(echo "${r_update% *} / ${r_find% *}" | bc -l)" "$(echo "${r_update#* } / ${r_find#* }" | bc -l)"
printf 'peak memory of the update       %.1f MB (aim < 64)\n' "$(echo "$rss_kb / 1024" | bc -l)"
if [ -x "$build/bench/bench_tree_walk" ]; then
    echo "where the walk's time goes:"
    "$build/bench/bench_tree_walk" "$machine" "$runs" | sed 's/^/  /'
fi
