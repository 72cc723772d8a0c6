# Shared by scripts/run and scripts/test: install what is missing, then build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libqt6opengl6-dev
          libglu1-mesa-dev libgl-dev libgl1-mesa-dri xvfb xauth fonts-dejavu-core
          libbenchmark-dev zlib1g-dev clang lld desktop-file-utils shared-mime-info
          mono-mcs mono-runtime)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Both builds use clang and lld: they build this code in about half the time
# g++ and ld take, and CI builds it twice.
configure() {
    local dir="$1"; shift
    # A folder configured by another compiler must start afresh.
    if [ -f "$dir/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++$' "$dir/CMakeCache.txt"; then
        rm -rf "$dir"
    fi
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
          -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld "$@" >/dev/null
}

# build DIR [extra cmake args...]
build() {
    local dir="$1"; shift
    configure "$dir" "$@"
    cmake --build "$dir" --parallel "$(nproc)"
}

# The sanitized build: AddressSanitizer and UBSan, shared by SANITIZE=1
# scripts/test and scripts/fuzz (its libFuzzer targets live there too).
SANITIZED_DIR="$ROOT/build-asan"
SANITIZED_PACKAGES=(libclang-rt-14-dev)

# configure_sanitized [extra cmake args...]
configure_sanitized() {
    # Line tables are all the sanitizers' reports need.
    configure "$SANITIZED_DIR" -DTILSEN_SANITIZE=ON -DTILSEN_FUZZ=ON -DTILSEN_BENCH=OFF \
              -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only "$@"
}
