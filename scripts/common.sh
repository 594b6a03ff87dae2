# Shared by scripts/run and scripts/test: the packages the build needs and
# the build itself. Sourced, not run.

MAVIK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
MAVIK_PACKAGES=(g++ cmake make qt6-base-dev libgtest-dev xvfb xauth x11-utils libcli11-dev parallel)

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
    mavik_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
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
