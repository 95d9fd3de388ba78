#!/bin/sh
# The junk-file scan (korvex-cli clean) against find(1) with the same name tests, on
# the tree of the update benchmark (100,000 folders, 900,000 files) with 1% junk
# names planted (10,000 files of the default categories, changed yesterday), on the
# same warm tree. Prints both times (best of RUNS), their ratio and the number of
# files each listed. Aim: korvex-cli clean <= 1.3 x find.
#
#   bench/junk_scan.sh [BUILD_DIR] [WORK_DIR]
#   (defaults: build, /tmp/korvex-bench-clean; RUNS=3 FOLDERS=100000 FILES=900000 JUNK=10000)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
default_work=/tmp/korvex-bench-clean
. "$here/bench_tree.sh"

junk=${JUNK:-10000}
if [ ! -f "$work/.junk-$junk" ]; then
    # Spread the junk over the tree's folders, one name of each kind in turn.
    find "$tree/tree" -mindepth 1 -type d | awk -v n="$junk" '
        { folders[NR] = $0 }
        END {
            split("bak old tmp gid --- chk ab$ ~mp log fts ftg", ext, " ")
            for (i = 0; i < n; i++) {
                f = folders[(i * 7919) % NR + 1]
                printf "%s/junk%d.%s\n", f, i, ext[i % 11 + 1]
            }
            printf "%s/CHKLIST.MS\n", folders[1]
        }' | tr '\n' '\0' | xargs -0 touch -d yesterday
    touch "$work/.junk-$junk"
fi

names="-iname *.bak -o -iname *.old -o -iname *.tmp -o -iname *.gid -o -iname *.--- -o -iname *.chk \
-o -iname *.??\$ -o -iname *.~?? -o -iname chklist.* -o -iname *.log -o -iname *.fts -o -iname *.ftg"
set -f
find_junk() { find "$tree" -type f \( $names \) -print; }
set +f

# Warm the caches: both contenders read the same directories.
find_junk >/dev/null
"$cli" --machine "$machine" clean --drives C: >/dev/null 2>&1

found_find=$(find_junk | wc -l)
found_clean=$("$cli" --machine "$machine" clean --drives C: 2>/dev/null | grep -c '	' || true)
set -f
r_find=$(best find "$tree" -type f \( $names \) -print)
set +f
r_clean=$(best "$cli" --machine "$machine" clean --drives C:)
load=$(cut -d' ' -f1 /proc/loadavg)

printf 'entries below C:\\               %s\n' "$(find "$tree" -mindepth 1 | wc -l)"
printf 'junk files listed               find %s, korvex-cli clean %s\n' "$found_find" "$found_clean"
printf 'load average during the runs    %s (on %s processors)\n' "$load" "$(nproc)"
set -- $r_find
f_el=$1 f_cpu=$2
set -- $r_clean
c_el=$1 c_cpu=$2 rss_kb=$3
printf 'find with the name tests, best of %s   %s s elapsed, %s s cpu\n' "$runs" "$f_el" "$f_cpu"
printf 'korvex-cli clean, best of %s           %s s elapsed, %s s cpu\n' "$runs" "$c_el" "$c_cpu"
printf 'ratio clean / find                     %.2f elapsed, %.2f cpu (aim <= 1.3)\n' \
    "$(echo "$c_el / $f_el" | bc -l)" "$(echo "$c_cpu / $f_cpu" | bc -l)"
printf 'peak memory of the scan                %.1f MB\n' "$(echo "$rss_kb / 1024" | bc -l)"
