# SPDX-License-Identifier: GPL-3.0-or-later
# Shared set-up for ./run and ./test: installs the Debian packages that are
# missing, then configures and builds one CMake preset. Sourced, not run.

# What building and running the program needs (./run); ICU's headers for
# the Chinese lunar calendar (its library comes with Qt Core).
QUORVEL_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev libgl-dev libxkbcommon-dev libicu-dev
    fonts-arphic-uming fonts-wqy-microhei qt6-translations-l10n libc-l10n
)

# What making the Debian package needs (tools/make-deb): Debian's build
# flags and library scan, the file type reader the scan goes by, and
# Debian's package checker.
QUORVEL_PACKAGE_TOOLS=(dpkg-dev file lintian)

# What the tests and benchmarks need besides (./test): Qt Test, Google
# Benchmark, the tools that make and check the Debian package (lintian,
# hardening-check from devscripts), the menu entry, the AppStream data and
# the manual pages, that watch the packaged program run on a virtual X
# display (Xvfb, strace), the readers that the exported files are read back
# with (poppler for PDF, Python's icalendar), and an X server with the
# screen reader Orca to run the program on, and AT-SPI's Python client to
# read its accessibility tree.
QUORVEL_TEST_PACKAGES=(
    libqt6test6 libbenchmark-dev
    "${QUORVEL_PACKAGE_TOOLS[@]}" devscripts appstream desktop-file-utils groff-base xvfb strace
    poppler-utils python3-icalendar
    xdotool x11-utils dbus at-spi2-core orca python3-pyatspi
    # On most desktops: with it, a program without a session bus has one
    # started that outlives it. The tests must meet that case every time.
    dbus-x11
)

# Only for the fuzz preset (tools/fuzz-dates): clang and its libFuzzer and
# sanitizer runtimes. ./run does not need them.
QUORVEL_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

quorvel_install_missing() {
    local missing=() pkg
    for pkg in "${QUORVEL_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed$' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Quorvel needs these Debian packages; install them with:" >&2
        echo "  sudo apt-get install ${missing[*]}" >&2
        return 1
    fi
    echo "Installing ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >&2 &&
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# Configures the preset every time, so that a change to the presets reaches
# the build (cmake only regenerates when something changed), then builds it.
# The build's progress lines are left out; anything else it prints is kept.
# Fails, saying so, when either step fails.
quorvel_build() {
    local preset=$1 status
    if ! cmake --preset "$preset" >/dev/null; then
        echo "quorvel: configuring the $preset build failed" >&2
        return 1
    fi
    cmake --build --preset "$preset" -- -j"$(nproc)" | grep -v '^\['
    status=${PIPESTATUS[0]}
    if [ "$status" -ne 0 ]; then
        echo "quorvel: the $preset build failed (status $status)" >&2
        return 1
    fi
}

# The tests the last CTest run in a build folder skipped, a line each with
# the reasons they gave (Qt Test's SKIP lines): "tst_x: reason".
quorvel_skipped_tests() {
    local build=$1 name
    [ -f "$build/ctest.out" ] || return 0
    sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$build/ctest.out" | while IFS= read -r name; do
        awk -v name="$name" '
            $0 ~ "^[0-9]+/[0-9]+ Testing: " && $3 == name { inside = 1; next }
            inside && / end time: / { inside = 0 }
            inside && /^SKIP/ { sub(/^SKIP *: */, ""); print name ": " $0; said = 1 }
            END { if (!said) print name ": (it gave no reason)" }' "$build/Testing/Temporary/LastTest.log"
    done
}
