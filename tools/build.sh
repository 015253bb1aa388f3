#!/usr/bin/env bash
# Configures and builds one architecture: tools/build.sh x86_64|i686 [target...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=${1:-x86_64}; shift || true
dir="$root/build/$arch"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVSS_WINEPREFIX="$root/build/wineprefix" >/dev/null
fi
cmake --build "$dir" "$@"
