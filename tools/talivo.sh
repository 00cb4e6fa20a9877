#!/usr/bin/env bash
# Sets up a Debian machine for Talivo, builds it, and either starts it or runs every test.
#   tools/talivo.sh run    install what is missing, build, start Talivo
#   tools/talivo.sh test   install what is missing, build, run all tests (plain and sanitized), headless
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-svg-dev qt6-image-formats-plugins
    libopencv-core-dev libopencv-imgproc-dev python3
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core gettext xvfb xauth libx11-dev xdotool openbox
    desktop-file-utils appstream shared-mime-info dpkg-dev file
)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Run as root to install: ${missing[*]}" >&2; exit 1; }
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

jobs=$(nproc 2>/dev/null || echo 2)

build() { # build DIR [cmake options...]
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" --parallel "$jobs"
}

run_tests() { # run_tests DIR
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$1" --output-on-failure --parallel "$jobs" \
        --timeout 600
}

# Runs each libFuzzer target for a short while from its seeds, when clang can build them.
# Without clang the targets still run over their seeds and mutations in the test builds.
fuzz_briefly() {
    local dir="$root/build-fuzz" seconds=${TALIVO_FUZZ_SECONDS:-30} name source
    mkdir -p "$dir"
    if ! command -v clang++ >/dev/null || ! echo 'extern "C" int LLVMFuzzerTestOneInput(
            const unsigned char *, unsigned long) { return 0; }' |
        clang++ -x c++ -fsanitize=fuzzer,address -o "$dir/probe" - 2>/dev/null; then
        echo "== No clang with libFuzzer: the fuzz targets ran on their seeds only"
        return 0
    fi
    CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTALIVO_FUZZ=ON -DTALIVO_SANITIZE=ON -DTALIVO_BUILD_BENCH=OFF >/dev/null
    local targets=()
    for source in "$root"/tests/fuzz/Fuzz*.cpp; do targets+=("$(basename "$source" .cpp)"); done
    cmake --build "$dir" --parallel "$jobs" --target "${targets[@]}"
    for name in "${targets[@]}"; do
        echo "== Fuzzing $name for ${seconds} s"
        mkdir -p "$dir/corpus/$name"
        if ! QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
            LSAN_OPTIONS=suppressions="$root/tools/lsan.supp":print_suppressions=0 \
            "$dir/tests/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$dir/$name-" "$dir/corpus/$name" \
            "$root/tests/fuzz/corpus/${name#Fuzz}" >"$dir/$name.log" 2>&1; then
            tail -n 60 "$dir/$name.log"
            echo "$name found a fault; the input is beside $dir/$name.log" >&2
            return 1
        fi
        tail -n 1 "$dir/$name.log"
    done
}

case "${1:-}" in
run)
    install_missing
    build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec "$root/build/app/Talivo"
    ;;
test)
    install_missing
    build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    echo "== Tests"
    run_tests "$root/build"
    build "$root/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALIVO_SANITIZE=ON \
        -DTALIVO_BUILD_BENCH=OFF
    echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    # The leak check reads the dynamic TLS blocks that the sanitizer saw handed out; with this
    # glibc one of them can be recorded with a garbage range, which crashes the check at the end
    # of a program that did nothing wrong (talivo-cli drawing its marks band by band does it).
    # The blocks are not recorded, then.
    ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 \
    LSAN_OPTIONS=suppressions="$root/tools/lsan.supp":print_suppressions=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        run_tests "$root/build-sanitize"
    fuzz_briefly
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
