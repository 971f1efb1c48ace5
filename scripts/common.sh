# Shared by ./run and ./test: install what is missing, configure, build.
set -euo pipefail

TESSEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${TESSEL_BUILD_DIR:-$TESSEL_ROOT/build}"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    local missing=()
    local pkg
    while read -r pkg; do
        pkg="${pkg%%#*}"
        pkg="$(echo "$pkg" | tr -d '[:space:]')"
        [ -n "$pkg" ] || continue
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done < "$TESSEL_ROOT/scripts/packages.txt"
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

configure_and_build() {
    export CCACHE_DIR="${CCACHE_DIR:-$TESSEL_ROOT/.ccache}"
    if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
        CC=clang CXX=clang++ cmake -S "$TESSEL_ROOT" -B "$BUILD_DIR" -G Ninja \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    cmake --build "$BUILD_DIR" --parallel "$(nproc)"
}
