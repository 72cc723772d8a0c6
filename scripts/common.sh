# Shared by scripts/run and scripts/test: install what is missing, then build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libqt6opengl6-dev
          libglu1-mesa-dev libgl-dev libgl1-mesa-dri xvfb xauth fonts-dejavu-core
          libbenchmark-dev zlib1g-dev)

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

# The sanitized build: clang with AddressSanitizer and UBSan, shared by
# SANITIZE=1 scripts/test and scripts/fuzz (its libFuzzer targets live there too).
SANITIZED_DIR="$ROOT/build-asan"
SANITIZED_PACKAGES=(clang libclang-rt-14-dev lld)

# configure_sanitized [extra cmake args...]
configure_sanitized() {
    # A folder configured by another compiler must start afresh.
    if [ -f "$SANITIZED_DIR/CMakeCache.txt" ] \
        && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++$' "$SANITIZED_DIR/CMakeCache.txt"; then
        rm -rf "$SANITIZED_DIR"
    fi
    # Line tables are all the sanitizers' reports need, and lld links the
    # instrumented programs several times faster than the default linker.
    cmake -S "$ROOT" -B "$SANITIZED_DIR" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DTILSEN_SANITIZE=ON \
          -DTILSEN_FUZZ=ON -DTILSEN_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug \
          -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only \
          -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld "$@" >/dev/null
}

# build DIR [extra cmake args...]
build() {
    local dir="$1"; shift
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)"
}
