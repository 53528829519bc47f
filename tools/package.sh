#!/usr/bin/env bash
# Builds the Debian package of MZ4800 Control: a Release build without the
# tests in build-package/, then `cpack -G DEB`. The package lands in
# build-package/ as mz4800_<version>_<arch>.deb; its dependencies are read
# from the binaries by dpkg-shlibdeps. Install it with
#   sudo apt-get install ./build-package/mz4800_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DMZ_BUILD_TESTS=OFF >/dev/null
cmake --build build-package
(cd build-package && cpack -G DEB)
ls -1 build-package/mz4800_*.deb
