#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time and memory of the program as a desktop starts it, on a
# virtual X display, beside a bare Qt Widgets window that a 50 ms timer shows
# (the same wait as the program's loader) with the same Chinese texts in the
# same face: the time from the start of the process to the window being
# mapped, and once it has painted the process's private memory
# (Private_Dirty), its anonymous memory and its proportional share of all it
# maps (Pss); the median of 7 runs of each, run in turns, and their ratios.
# Private memory is what the program costs. Clean pages of mapped files
# (the fonts, the libraries) are the page cache's, shared and reclaimable:
# they count only through Pss, which is printed for information.
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
#include "analysis_window/texts.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel window(quorvel::ExplanatoryText + quorvel::CreditsText + quorvel::QueryButtonCaption
                  + quorvel::ExitButtonCaption + quorvel::BirthDateCaption + quorvel::QueryDateCaption
                  + quorvel::ReadoutDateCaption + quorvel::GuideLinkCaption + QStringLiteral("<-- 40天 -->"));
    QFont font(QStringLiteral("AR PL UMing CN"));
    font.setPixelSize(12);
    window.setFont(font);
    window.setWordWrap(true);
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(798, 598);
    QTimer::singleShot(50, &window, [&] { window.show(); });
    return app.exec();
}
CPP
g++ -O2 -fPIC -std=c++20 -I. "$work/bare.cpp" -o "$work/bare" $(pkg-config --cflags --libs Qt6Widgets)
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

measure() { # NAME PROGRAM -> "ms private-kB anonymous-kB pss-kB"
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

column() { cut -d' ' -f"$1" "$2" | median; }
awk -v runs="$runs" \
    -v qms="$(column 1 "$work/quorvel.txt")" -v qpd="$(column 2 "$work/quorvel.txt")" \
    -v qan="$(column 3 "$work/quorvel.txt")" -v qps="$(column 4 "$work/quorvel.txt")" \
    -v bms="$(column 1 "$work/bare.txt")" -v bpd="$(column 2 "$work/bare.txt")" \
    -v ban="$(column 3 "$work/bare.txt")" -v bps="$(column 4 "$work/bare.txt")" 'BEGIN {
    printf "median of %d runs      start-up    private  anonymous  pss (info)\n", runs
    printf "quorvel               %7.1f ms %7.1f MB %7.1f MB %7.1f MB\n", qms, qpd / 1024, qan / 1024, qps / 1024
    printf "bare Qt window        %7.1f ms %7.1f MB %7.1f MB %7.1f MB\n", bms, bpd / 1024, ban / 1024, bps / 1024
    printf "ratio                 %7.2f x  %7.2f x  %7.2f x  %7.2f x\n", qms / bms, qpd / bpd, qan / ban, qps / bps
}'
