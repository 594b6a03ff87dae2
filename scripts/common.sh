# Shared by scripts/run and scripts/test: the packages the build needs and
# the build itself. Sourced, not run.

MAVIK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
MAVIK_PACKAGES=(g++ cmake make qt6-base-dev libgtest-dev xvfb xauth x11-utils libcli11-dev parallel)
# Installing and packaging: manual pages, the raster icon, the Debian package and its checks.
MAVIK_PACKAGES+=(help2man librsvg2-bin desktop-file-utils dpkg-dev file lintian xdotool)
MAVIK_PACKAGES+=(qt6-translations-l10n)  # Qt's own dialogs and buttons in Russian
MAVIK_PACKAGES+=(qt6-tools-dev qt6-l10n-tools)  # lupdate and lrelease: our own texts in Russian
# The cluster tests: a real sshd and rsync for GNU parallel, a real Slurm with munge.
MAVIK_PACKAGES+=(openssh-server openssh-client rsync slurm-wlm munge)

mavik_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs with apt-get whatever of MAVIK_PACKAGES is missing.
mavik_install_packages() {
    local missing=()
    for p in "${MAVIK_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    mavik_as_root apt-get update -qq
    mavik_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ${MAVIK_APT_OPTIONS:-} "${missing[@]}"
}

# mavik_build DIR [cmake options...] [-- targets...]: configures, then builds
# the targets (all when none are named) in DIR.
mavik_build() {
    local dir=$1
    shift
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift && targets=(--target "$@")
    cmake -S "$MAVIK_ROOT" -B "$dir" -DMAVIK_WITH_UI=ON "${options[@]}" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
}

# The Windows build: cross-compiled with mingw-w64, its tests run under Wine
# in a throw-away prefix, its output compared with the Linux build's.
mavik_test_windows() {
    mavik_install_packages
    (
        MAVIK_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64)
        MAVIK_APT_OPTIONS=--no-install-recommends
        mavik_install_packages
    )
    local linux=$MAVIK_ROOT/build/test windows=$MAVIK_ROOT/build/windows
    mavik_build "$linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo -- mavik-convert mavik-gensample
    cmake -S "$MAVIK_ROOT" -B "$windows" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$MAVIK_ROOT/cmake/mingw-w64.cmake" -DMAVIK_WITH_UI=OFF >/dev/null
    cmake --build "$windows" --parallel "$(nproc)"

    WINEPREFIX=$(mktemp -d)
    # Wine turns the arguments into UTF-16 by the locale's character set:
    # under C, a name like звонки.cdr would arrive mangled.
    export WINEPREFIX WINEDEBUG=-all LC_ALL=C.UTF-8
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
    wineboot --init >/dev/null 2>&1 || true
    (cd "$windows" && ctest --output-on-failure --parallel "$(nproc)")
    bash "$MAVIK_ROOT/tests/windows/compare-builds.sh" "$linux/cli/mavik-convert" \
        "$windows/cli/mavik-convert.exe" "$linux/data/mavik-gensample" "$MAVIK_ROOT/data" 64
}
