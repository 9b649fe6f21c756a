# Shared set-up for ./run and ./test: installs the Debian packages that are
# missing, then configures and builds one CMake preset. Sourced, not run.

QUORVEL_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6test6 libgl-dev libxkbcommon-dev
    libbenchmark-dev
    fonts-arphic-uming fonts-wqy-microhei qt6-translations-l10n
    dpkg-dev file appstream desktop-file-utils groff-base
)

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

quorvel_build() {
    local preset=$1
    if [ ! -f "build/$preset/build.ninja" ]; then
        cmake --preset "$preset" >/dev/null || return 1
    fi
    cmake --build --preset "$preset" -- -j"$(nproc)" | grep -v '^\[' || true
    [ "${PIPESTATUS[0]}" -eq 0 ]
}
