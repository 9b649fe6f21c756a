#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package from a built build folder and checks it as Debian
# and its users would meet it: what it holds, its control fields, lintian,
# the binaries' hardening, the desktop's validators, the manual pages, and
# that every library and plugin the two programs load, every translation
# the window reads and every font they open comes with a package that the
# package's Depends bring.
# The package is only unpacked into a scratch folder, never installed.
#   tst_package.sh <cpack> <build-dir> <version> <icon sizes, separated by commas>
set -uo pipefail
cpack=$1
build=$2
version=$3
IFS=',' read -r -a icon_sizes <<<"$4"
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
cleanup() {
    if [ -n "${window_job:-}" ]; then
        window=$(awk 'NR == 1 { print $1 }' "$work/window.trace" 2>/dev/null)
        [ -n "$window" ] && kill "$window" 2>/dev/null
    fi
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# scripts/setup.sh installs these for ./test; a missing one is a failure,
# never a reason to leave its checks out.
for tool in dpkg-deb dpkg-query dpkg-parsechangelog readelf ldd lintian hardening-check \
    desktop-file-validate appstreamcli groff strace Xvfb dbus-run-session; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it for ./test)"
done
[ $failures -eq 0 ] || exit 1

if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    fail "cpack could not make the package"
    exit 1
fi
debs=("$work"/out/quorvel_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "not exactly one quorvel_*.deb: ${debs[*]}"
    exit 1
fi
deb=${debs[0]}

# The programs and their data, and nothing else: no test, benchmark or tool.
expected=./usr/bin/quorvel$'\n'
expected+=./usr/bin/quorvel-chart$'\n'
expected+=./usr/share/applications/org.quorvel.Quorvel.desktop$'\n'
for size in "${icon_sizes[@]}"; do
    expected+=./usr/share/icons/hicolor/${size}x${size}/apps/quorvel.png$'\n'
done
expected+=./usr/share/icons/hicolor/scalable/apps/quorvel.svg$'\n'
expected+=./usr/share/doc/quorvel/changelog.gz$'\n'
expected+=./usr/share/doc/quorvel/copyright$'\n'
expected+=./usr/share/man/man1/quorvel.1.gz$'\n'
expected+=./usr/share/man/man1/quorvel-chart.1.gz$'\n'
expected+=./usr/share/metainfo/org.quorvel.Quorvel.metainfo.xml
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)
if [ "$files" != "$(LC_ALL=C sort <<<"$expected")" ]; then
    fail "unexpected file list:"
    diff <(LC_ALL=C sort <<<"$expected") <(echo "$files") >&2
fi
for program in quorvel quorvel-chart; do
    dpkg-deb -c "$deb" | awk -v path="./usr/bin/$program" '$6 == path && $1 != "-rwxr-xr-x" { exit 1 }' ||
        fail "$program is not executable by all"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quorvel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] && [ -n "$(field Section)" ] && [ -n "$(field Description)" ] ||
    fail "Maintainer, Section or Description is empty"
# The package names in Depends, without versions; each of a choice counts.
depends=$(field Depends)
mapfile -t named < <(tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/[ (:].*//' | grep . | sort -u)
# What the programs load but no library scan can see: the Chinese face the
# window's texts are laid out for, the sans face of the printed sheet, Qt's
# translations and its further platform plugins, the C library's messages.
for needed in qt6-qpa-plugins qt6-translations-l10n libc-l10n fonts-arphic-uming fonts-wqy-microhei; do
    printf '%s\n' "${named[@]}" | grep -qx "$needed" || fail "Depends lacks $needed: $depends"
done

dpkg-deb -x "$deb" "$work/root"
root=$work/root
share=$root/usr/share
desktop-file-validate "$share/applications/org.quorvel.Quorvel.desktop" >&2 || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/org.quorvel.Quorvel.metainfo.xml" >&2 || fail "appstreamcli validate"
# The menu entry names what the package installs.
entry() { sed -n "s/^$1=//p" "$share/applications/org.quorvel.Quorvel.desktop"; }
[ -x "$root/usr/bin/$(entry Exec)" ] || fail "Exec=$(entry Exec) is not in /usr/bin"
[ -f "$share/icons/hicolor/48x48/apps/$(entry Icon).png" ] || fail "Icon=$(entry Icon) is not installed"
for page in quorvel quorvel-chart; do
    man_warnings=$(zcat "$share/man/man1/$page.1.gz" | groff -K utf8 -man -Tutf8 -ww -z 2>&1)
    [ -z "$man_warnings" ] || fail "the manual page $page(1) has warnings: $man_warnings"
done
zcat "$share/doc/quorvel/changelog.gz" >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] ||
    fail "the changelog's latest entry is not version $version"

# Debian's checker: no error, no warning. What it only mentions (I:, and
# P: for pedantic) the README's install section explains, tag by tag.
lintian --pedantic --display-info "$deb" >"$work/lintian.log" 2>/dev/null
if grep -q '^[EW]:' "$work/lintian.log"; then
    fail "lintian reports errors or warnings:"
    cat "$work/lintian.log" >&2
fi
install_section=$(sed -n '/^## Install/,/^## /p' "$source_dir/README.md")
for tag in $(awk '/^[IP]:/ { print $3 }' "$work/lintian.log" | sort -u); do
    grep -qF -- "$tag" <<<"$install_section" || fail "lintian's $tag is not explained in README's install section"
done

for program in quorvel quorvel-chart; do
    readelf -d "$root/usr/bin/$program" | grep -Eq '\((RPATH|RUNPATH)\)' &&
        fail "$program has a library search path: $(readelf -d "$root/usr/bin/$program" | grep -E 'R(UN)?PATH')"
    # Control-flow protection cannot be had on Debian 12: glibc's start files
    # lack its mark, and the linker only marks a program all of whose
    # pieces have it.
    hardening-check --nocfprotection "$root/usr/bin/$program" >"$work/hardening.log" 2>&1 ||
        fail "hardening-check $program: $(cat "$work/hardening.log")"
done

# What the programs load. ldd gives the libraries they link and the
# libraries those link. The plugins Qt loads and the translations the window
# reads are seen by running the unpacked programs under strace: a plugin is
# a file under Qt's plugins folder mapped as code (Qt also opens plugins it
# only looks into), a translation a .qm file opened. The window runs on a
# virtual X display, in a bare environment with a session bus of its own
# (which ends with it: without one, Qt would have a bus started that
# outlives the program), until it has settled.
# Not counted are the libraries Qt opens on its own as optional extras
# (libXcursor), and the image format plugins: Qt's image writer loads every
# one installed to ask whether it writes PNG, then writes PNG itself.
mkdir -p "$work/home" "$work/run" && chmod 700 "$work/run"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb did not start"
traced() { # LOG PROGRAM ARGUMENTS...
    local log=$1
    shift
    env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8 \
        DISPLAY=":$(cat "$work/display")" \
        dbus-run-session -- strace -f --seccomp-bpf -qq -y -e trace=openat,mmap -e status=successful -o "$log" "$@"
}
# Its messages, and the shell's notice of its end by a signal, go to a file.
(traced "$work/window.trace" "$root/usr/bin/quorvel"; exit) 2>"$work/window.err" &
window_job=$!
# Settled: the trace has stopped growing for a second and a half (the window
# then waits for input); at most 30 seconds.
last=-1 still=0
for _ in $(seq 120); do
    sleep 0.25
    size=$(stat -c %s "$work/window.trace" 2>/dev/null || echo 0)
    if [ "$size" = "$last" ]; then still=$((still + 1)); else still=0 last=$size; fi
    [ "$size" -gt 0 ] && [ $still -ge 6 ] && break
done
window=$(awk 'NR == 1 { print $1 }' "$work/window.trace")
[ -n "$window" ] && kill "$window" 2>/dev/null
wait "$window_job"
window_job=
traced "$work/png.trace" "$root/usr/bin/quorvel-chart" chart --birth 1980-01-01 --query 2009-11-03 -o "$work/chart.png" ||
    fail "quorvel-chart did not write a PNG chart"
traced "$work/svg.trace" "$root/usr/bin/quorvel-chart" chart --birth 1980-01-01 --query 2009-11-03 -o "$work/chart.svg" ||
    fail "quorvel-chart did not write an SVG chart"
traced "$work/pdf.trace" "$root/usr/bin/quorvel-chart" chart --birth 1980-01-01 --query 2009-11-03 -o "$work/chart.pdf" ||
    fail "quorvel-chart did not write a PDF sheet"
traced "$work/ics.trace" "$root/usr/bin/quorvel-chart" calendar --birth 1980-01-01 --from 2009-01-01 --to 2010-12-31 \
    -o "$work/critical.ics" || fail "quorvel-chart did not write a calendar"
plugins_of() {
    grep 'PROT_EXEC' "$@" | grep -o '<[^>]*/qt6/plugins/[^>]*>' | tr -d '<>' | grep -v '/plugins/imageformats/' | sort -u
}
opened_of() { # PATTERN TRACE...: the files of a kind the runs opened
    local pattern=$1
    shift
    grep '^[0-9]* *openat(' "$@" | grep -o "= [0-9]*<[^>]*\\.$pattern>" | sed 's/^= [0-9]*<//; s/>$//' | sort -u
}
translations_of() { opened_of qm "$@"; }
fonts_of() { opened_of '\(ttf\|ttc\|otf\|pfb\)' "$@"; }
mapfile -t plugins < <(plugins_of "$work"/*.trace)
mapfile -t translations < <(translations_of "$work"/*.trace)
mapfile -t fonts < <(fonts_of "$work"/*.trace)
# A run that shows none would check nothing.
if ! plugins_of "$work/window.trace" | grep -q '/platforms/' || [ -z "$(translations_of "$work/window.trace")" ]; then
    fail "the window's run showed no platform plugin loaded or no translation read: $(cat "$work/window.err")"
fi
fonts_of "$work/pdf.trace" | grep -q . || fail "the PDF sheet's run showed no font read"

# The libraries: those the programs link (NEEDED), and all that ldd finds
# for the programs and the plugins.
declare -A linked=()
libraries=()
for object in "$root/usr/bin/quorvel" "$root/usr/bin/quorvel-chart" "${plugins[@]}"; do
    ldd "$object" >"$work/ldd.log" 2>&1 || fail "ldd $object: $(cat "$work/ldd.log")"
    grep -q 'not found' "$work/ldd.log" && fail "$object: a library is missing: $(grep 'not found' "$work/ldd.log")"
    mapfile -t -O ${#libraries[@]} libraries < <(awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }' "$work/ldd.log")
    case $object in
        "$root"/*)
            for soname in $(readelf -d "$object" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
                path=$(awk -v name="$soname" '$1 == name && $2 == "=>" { print $3 }' "$work/ldd.log")
                [ -n "$path" ] && linked[$path]=1
            done ;;
    esac
done
mapfile -t loaded < <(printf '%s\n' "${libraries[@]}" "${plugins[@]}" "${translations[@]}" "${fonts[@]}" | sort -u)

# The package of each file. Debian 12 merges /lib into /usr/lib, but dpkg
# records each file under the one name its package gives it, so both names
# and the file's real path are asked for.
candidates() {
    local path
    for path in "$1" "$(readlink -f "$1")"; do
        echo "$path"
        case $path in
            /usr/lib/* | /usr/lib64/*) echo "${path#/usr}" ;;
            /lib/* | /lib64/*) echo "/usr$path" ;;
        esac
    done
}
declare -A owner=()
while IFS= read -r line; do
    owner[${line#*: }]=$(sed 's/: \/.*//; s/:[a-z0-9]*//g' <<<"$line")
done < <(for file in "${loaded[@]}"; do candidates "$file"; done | sort -u |
    xargs dpkg-query -S 2>/dev/null | grep -v '^diversion')
package_of() {
    local candidate
    for candidate in $(candidates "$1"); do
        [ -n "${owner[$candidate]:-}" ] && { echo "${owner[$candidate]}"; return; }
    done
}

# Every package that installing this one brings: Depends and Pre-Depends
# followed to the end, through every choice and through the packages that
# provide a virtual name, over this machine's packages. A library's own
# libraries lie several levels down (libgcrypt20 four), and each package
# answers for its own: following one level would not reach them. The
# libraries the programs link themselves must be named in Depends directly,
# as the library scan gives them.
mapfile -t brought < <(dpkg-query -W -f='${Package}\t${Depends}, ${Pre-Depends}\t${Provides}\n' |
    awk -F'\t' -v roots="${named[*]}" '
        function names(list, out,    n, i, parts, name) {
            n = split(list, parts, /[,|]/)
            for (i = 1; i <= n; i++) {
                name = parts[i]; sub(/^ +/, "", name); sub(/[ (:].*/, "", name)
                if (name != "") out[name] = 1
            }
        }
        {
            delete d; names($2, d); for (n in d) edges[$1] = edges[$1] " " n
            delete p; names($3, p); for (n in p) edges[n] = edges[n] " " $1
        }
        END {
            count = split(roots, queue, " ")
            for (i = 1; i <= count; i++) seen[queue[i]] = 1
            for (i = 1; i <= count; i++) {
                m = split(edges[queue[i]], next_, " ")
                for (j = 1; j <= m; j++) if (!(next_[j] in seen)) { seen[next_[j]] = 1; queue[++count] = next_[j] }
            }
            for (name in seen) print name
        }')
declare -A in_depends=() in_closure=()
for name in "${named[@]}"; do in_depends[$name]=1; done
for name in "${brought[@]}"; do in_closure[$name]=1; done
for file in "${loaded[@]}"; do
    packages=$(package_of "$file")
    if [ -z "$packages" ]; then
        fail "$file, which the programs load, belongs to no package"
        continue
    fi
    covered=0
    for package in ${packages//,/ }; do
        if [ -n "${linked[$file]:-}" ]; then
            [ -n "${in_depends[$package]:-}" ] && covered=1
        else
            [ -n "${in_closure[$package]:-}" ] && covered=1
        fi
    done
    if [ $covered -eq 0 ]; then
        if [ -n "${linked[$file]:-}" ]; then
            fail "the programs link $file, but Depends does not name its package $packages: $depends"
        else
            fail "the programs load $file, but its package $packages does not come with Depends: $depends"
        fi
    fi
done
echo "checked ${#loaded[@]} loaded files, ${#plugins[@]} of them plugins, ${#translations[@]} translations," \
    "${#fonts[@]} fonts" >&2

[ $failures -eq 0 ] && echo "package $(basename "$deb") checked"
exit $((failures > 0))
