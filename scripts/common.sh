# Shared by scripts/run and scripts/test: install what is missing, configure
# and build incrementally in build/.
set -euo pipefail

VELMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VELMORA_BUILD="$VELMORA_ROOT/build"

# Debian packages the build, the program and its tests need (the tests run
# the real program under Xvfb and drive it with xdotool; python3 runs the
# layer check; cmark-gfm is the Markdown renderer that the Markdown readme
# is checked with, and whose library Preview renders it with; libgit2 and
# toml++ read a project folder's facts).
VELMORA_PACKAGES=(cmake make g++ pkg-config python3 qt6-base-dev libxcb1-dev libgit2-dev libtomlplusplus-dev
                  fonts-wine xvfb xdotool cmark-gfm libcmark-gfm-dev libcmark-gfm-extensions-dev)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "Installing packages needs root: run this as root or install sudo." >&2
        exit 1
    fi
}

install_missing() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# configure_and_build [extra cmake arguments...]
configure_and_build() {
    cmake -S "$VELMORA_ROOT" -B "$VELMORA_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$VELMORA_BUILD" -j"$(nproc)"
}
