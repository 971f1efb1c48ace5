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

# The real path of a folder, so that two names of one folder compare equal.
real_dir() {
    (cd "$1" 2>/dev/null && pwd -P) || echo "$1"
}

# Configures build/ when it is new or belongs to another checkout, then
# builds the given targets (all of them when none is given).
configure_and_build() {
    export CCACHE_DIR="${CCACHE_DIR:-$TESSEL_ROOT/.ccache}"
    local cache="$BUILD_DIR/CMakeCache.txt"
    if [ -f "$cache" ]; then
        # A copied or moved checkout brings the old build folder along: its
        # cache points at the old sources, and building it would build those.
        local configured
        configured="$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")"
        if [ "$(real_dir "$configured")" != "$(real_dir "$TESSEL_ROOT")" ]; then
            echo "$BUILD_DIR was configured for $configured: configuring it again for $TESSEL_ROOT."
            rm -rf "$cache" "$BUILD_DIR/CMakeFiles"
        fi
    fi
    if [ ! -f "$cache" ]; then
        if ! CC=clang CXX=clang++ cmake -S "$TESSEL_ROOT" -B "$BUILD_DIR" -G Ninja \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
            # Without a cache the next run configures again rather than build a half-made tree.
            rm -f "$cache"
            echo "Configuring failed (the reason is above); nothing was built." >&2
            exit 1
        fi
    fi
    local targets=()
    [ $# -eq 0 ] || targets=(--target "$@")
    if ! cmake --build "$BUILD_DIR" --parallel "$(nproc)" "${targets[@]}"; then
        echo "The build failed (the reason is above)." >&2
        exit 1
    fi
}
