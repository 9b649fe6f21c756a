#!/usr/bin/env bash
# Makes the Debian package from a built build folder and checks what it
# holds, what its control fields say and that its data files pass the
# desktop's own validators.
#   tst_package.sh <cpack> <build-dir> <version>
set -uo pipefail
cpack=$1
build=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

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

# The program and its data, and nothing else: no test, benchmark or tool.
expected=./usr/bin/quorvel$'\n'
expected+=./usr/bin/quorvel-chart$'\n'
expected+=./usr/share/applications/org.quorvel.Quorvel.desktop$'\n'
for size in 128 16 22 24 256 32 48 64; do
    expected+=./usr/share/icons/hicolor/${size}x${size}/apps/quorvel.png$'\n'
done
expected+=./usr/share/icons/hicolor/scalable/apps/quorvel.svg$'\n'
expected+=./usr/share/man/man1/quorvel.1.gz$'\n'
expected+=./usr/share/metainfo/org.quorvel.Quorvel.metainfo.xml
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)
if [ "$files" != "$(LC_ALL=C sort <<<"$expected")" ]; then
    fail "unexpected file list:"
    diff <(LC_ALL=C sort <<<"$expected") <(echo "$files") >&2
fi
dpkg-deb -c "$deb" | awk '$6 == "./usr/bin/quorvel" && $1 != "-rwxr-xr-x" { exit 1 }' ||
    fail "the program is not executable by all"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quorvel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libc6 qt6-qpa-plugins fonts-arphic-uming; do
    # A package name in the comma-separated list, with or without a version.
    grep -Eq "(^|, )$needed( \\(|,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
[ -n "$(field Maintainer)" ] && [ -n "$(field Section)" ] && [ -n "$(field Description)" ] ||
    fail "Maintainer, Section or Description is empty"

dpkg-deb -x "$deb" "$work/root"
share=$work/root/usr/share
desktop-file-validate "$share/applications/org.quorvel.Quorvel.desktop" >&2 || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/org.quorvel.Quorvel.metainfo.xml" >&2 || fail "appstreamcli validate"
# The menu entry names what the package installs.
entry() { sed -n "s/^$1=//p" "$share/applications/org.quorvel.Quorvel.desktop"; }
[ -x "$work/root/usr/bin/$(entry Exec)" ] || fail "Exec=$(entry Exec) is not in /usr/bin"
[ -f "$share/icons/hicolor/48x48/apps/$(entry Icon).png" ] || fail "Icon=$(entry Icon) is not installed"
man_warnings=$(zcat "$share/man/man1/quorvel.1.gz" | groff -K utf8 -man -Tutf8 -ww -z 2>&1)
[ -z "$man_warnings" ] || fail "the manual page has warnings: $man_warnings"

[ $failures -eq 0 ] && echo "package $(basename "$deb") checked"
exit $((failures > 0))
