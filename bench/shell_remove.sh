#!/bin/sh
# The removal layer against rm -rf and gio trash on the same warm tree of 100,000
# files in 1,000 folders (see bench/shell_remove.cpp). gio gets its own D-Bus session.
# Aim: at most 1.5 times each.
#
#   bench/shell_remove.sh [BUILD_DIR] [WORK_DIR] [RUNS] [FOLDERS] [FILES]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
shift $(( $# > 0 ? 1 : 0 ))
program=$build/bench/bench_shell_remove
[ -x "$program" ] || { echo "missing $program (build bench_shell_remove)" >&2; exit 1; }
if command -v dbus-run-session >/dev/null 2>&1; then
    exec dbus-run-session -- "$program" "$@" 2>/dev/null
fi
exec "$program" "$@"
