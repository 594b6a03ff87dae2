# Shared by scripts/run and scripts/test: the packages the build needs and
# the build itself. Sourced, not run.

MAVIK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
MAVIK_PACKAGES=(g++ cmake make qt6-base-dev libgtest-dev xvfb xauth x11-utils libcli11-dev parallel)
# Installing and packaging: the raster icon, the Debian package and its checks (man and
# groff render the manual pages with warnings on).
MAVIK_PACKAGES+=(man-db librsvg2-bin desktop-file-utils dpkg-dev file lintian xdotool)
MAVIK_PACKAGES+=(qt6-translations-l10n)  # Qt's own dialogs and buttons in Russian
MAVIK_PACKAGES+=(qt6-tools-dev qt6-l10n-tools)  # lupdate and lrelease: our own texts in Russian
# The cluster tests: a real sshd and rsync for GNU parallel, a real Slurm with munge.
MAVIK_PACKAGES+=(openssh-server openssh-client rsync slurm-wlm munge)
# The loading test: the CSV into the real sqlite3, PostgreSQL and pandas.
MAVIK_PACKAGES+=(sqlite3 postgresql python3-pandas)

# The fuzz targets (scripts/test --fuzz) only: clang and its libFuzzer.
MAVIK_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

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

# Generates ru_RU.UTF-8 when the machine does not have it yet.
mavik_russian_locale() {
    locale -a 2>/dev/null | grep -qix 'ru_RU.utf8' && return 0
    mavik_as_root sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | mavik_as_root tee -a /etc/locale.gen >/dev/null
    mavik_as_root locale-gen >/dev/null
}

# The Windows build: cross-compiled with mingw-w64, its tests run under Wine
# in a throw-away prefix, its output compared with the Linux build's.
mavik_test_windows() {
    mavik_install_packages
    (
        # The window's test: its tables are made with python3; Tahoma stands in
        # for the form's font; Russian message boxes need the ru_RU.UTF-8 locale.
        # nsis: makensis, for the installer.
        MAVIK_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64 python3 fonts-wine locales nsis)
        MAVIK_APT_OPTIONS=--no-install-recommends
        mavik_install_packages
    )
    mavik_russian_locale
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
    # Wine's server now and then drops a starting process ("wine client
    # error: recvmsg: Connection reset by peer"); a test that failed so gets
    # a second start, and one that fails twice still fails the run.
    (cd "$windows" && ctest --output-on-failure --parallel "$(nproc)" --repeat until-pass:2)
    bash "$MAVIK_ROOT/tests/windows/compare-builds.sh" "$linux/cli/mavik-convert" \
        "$windows/cli/mavik-convert.exe" "$linux/data/mavik-gensample" "$MAVIK_ROOT/data" 64
    # The installer, in a prefix of its own; the window it starts needs an X server.
    xvfb-run -a bash "$MAVIK_ROOT/tests/windows/installer.sh" "$windows/MAVIK-setup.exe" \
        "$windows/ui/win32/MAVIK.exe" "$linux/cli/mavik-convert" "$MAVIK_ROOT/data"
}

# Builds the fuzz targets with clang and runs each for SECONDS from a
# scratch copy of its corpus, one at a time. A crash, a leak or a failed
# property stops the run; its input is left in build/fuzz/crashes/NAME.
mavik_fuzz() {
    local seconds=$1 dir=$MAVIK_ROOT/build/fuzz
    mavik_install_packages
    CC=clang CXX=clang++ cmake -S "$MAVIK_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DMAVIK_FUZZ=ON -DMAVIK_WITH_UI=OFF >/dev/null
    local targets
    read -r -a targets < <(sed -n 's/^set(MAVIK_FUZZ_TARGETS \(.*\))$/\1/p' "$MAVIK_ROOT/tests/fuzz/CMakeLists.txt")
    cmake --build "$dir" --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}"
    local name failed=0 start=$SECONDS
    printf '%-12s %10s %8s %8s %s\n' target runs exec/s cov result
    for name in "${targets[@]}"; do
        local work=$dir/run/$name crashes=$dir/crashes/$name log=$dir/run/$name.log
        rm -rf "$work" "$crashes"
        mkdir -p "$work" "$crashes"
        cp "$MAVIK_ROOT/tests/fuzz/corpus/$name/"* "$work/"
        local options=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$crashes/")
        local result=ok
        ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
            "$dir/tests/fuzz/fuzz_$name" "${options[@]}" "$work" >"$log" 2>&1 || result=FAILED
        local runs execs cov
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        execs=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
        cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
        printf '%-12s %10s %8s %8s %s\n' "$name" "${runs:-?}" "${execs:-?}" "${cov:-?}" "$result"
        if [ $result = FAILED ]; then
            failed=1
            grep -E 'property failed|ERROR: |runtime error|SUMMARY' "$log" | head -5
            echo "  reproducer: $(ls "$crashes"/* 2>/dev/null | head -1); log: $log"
            break
        fi
        rmdir "$crashes" 2>/dev/null || true
    done
    echo "fuzzed $((SECONDS - start)) seconds in all"
    return $failed
}
