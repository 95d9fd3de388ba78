#!/bin/sh
# Loading and walking a Wine registry file of 500,000 key sections with WineRegistry
# (bench_registry_load), beside the time grep takes just to count the sections of
# the same file.
#
#   bench/registry_load.sh [BUILD_DIR] [WORK_DIR]
#   (defaults: build, a temporary folder; KEYS=500000)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
work=${2:-$(mktemp -d /tmp/korvex-bench-registry.XXXXXX)}
keys=${KEYS:-500000}
bench=$build/bench/bench_registry_load

[ -x "$bench" ] || { echo "missing $bench (build bench_registry_load)" >&2; exit 1; }

"$bench" "$work" "$keys"
echo "grep -c '^\[' $work/system.reg:"
time grep -c '^\[' "$work/system.reg"
rm -rf "$work"
