#!/usr/bin/env bash
# Start-up time and resident memory of the program as a desktop starts it,
# on a virtual X display, beside a bare Qt Widgets window that a 50 ms timer
# shows (the same wait as the program's loader): the time from the start of
# the process to the window being mapped, and VmRSS once it has painted;
# the median of 7 runs of each, run in turns, and their ratios.
#
# Not part of ./test. Needs Xvfb and the X C binding headers
# (apt-get install xvfb x11-utils libxcb1-dev), which it installs itself
# when run as root, and a default build (cmake --build --preset default).
# Usage: bench/startup.sh [PROGRAM]   (default: build/default/app/quorvel)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
quorvel_install_missing xvfb x11-utils libxcb1-dev
program=$(realpath "${1:-build/default/app/quorvel}")
runs=7
settle_ms=300

work=$(mktemp -d)
cleanup() {
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/bare.cpp" <<'CPP'
#include <QApplication>
#include <QTimer>
#include <QWidget>
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(798, 598);
    QTimer::singleShot(50, &window, [&] { window.show(); });
    return app.exec();
}
CPP
g++ -O2 -fPIC -std=c++17 "$work/bare.cpp" -o "$work/bare" $(pkg-config --cflags --libs Qt6Widgets)
gcc -O2 bench/mapwait.c -o "$work/mapwait" $(pkg-config --cflags --libs xcb)

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
unset QT_QPA_PLATFORM
# A desktop session has its own runtime folder.
export XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"

measure() { # NAME PROGRAM -> "ms kB"
    "$work/mapwait" "$1" "$settle_ms" "$2"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# One untimed start of each fills the caches.
measure "Quorvel分析" "$program" >/dev/null
measure bare "$work/bare" >/dev/null
: >"$work/quorvel.txt"
: >"$work/bare.txt"
for _ in $(seq $runs); do
    measure "Quorvel分析" "$program" >>"$work/quorvel.txt"
    measure bare "$work/bare" >>"$work/bare.txt"
done

q_ms=$(cut -d' ' -f1 "$work/quorvel.txt" | median)
q_kb=$(cut -d' ' -f2 "$work/quorvel.txt" | median)
b_ms=$(cut -d' ' -f1 "$work/bare.txt" | median)
b_kb=$(cut -d' ' -f2 "$work/bare.txt" | median)
awk -v runs="$runs" -v qms="$q_ms" -v qkb="$q_kb" -v bms="$b_ms" -v bkb="$b_kb" 'BEGIN {
    printf "median of %d runs      start-up   resident\n", runs
    printf "quorvel               %7.1f ms  %6.1f MB\n", qms, qkb / 1024
    printf "bare Qt window        %7.1f ms  %6.1f MB\n", bms, bkb / 1024
    printf "ratio                 %7.2f x   %6.2f x\n", qms / bms, qkb / bkb
}'
