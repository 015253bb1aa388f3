#!/usr/bin/env bash
# Builds what Windows users download: the portable zip and the installer, for x86-64 (or i686 when
# asked: ./package.sh i686). Installs what the machine lacks first; the packages land in build/<arch>/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
arch=${1:-x86_64}
"$root/tools/deps.sh"
"$root/tools/build.sh" "$arch" --target vss_packages
ls -1 "$root/build/$arch"/VornaStampShifter-*.zip "$root/build/$arch"/VornaStampShifter-*-setup.exe
