#!/usr/bin/env bash
# Builds the Debian package of MZ4800 Control: a Release build without the
# tests in build-package/, then `cpack -G DEB`. The package lands in
# build-package/ as mz4800_<version>-<release>_<arch>.deb (both from the top
# entry of data/changelog); its dependencies are read from the binaries by
# dpkg-shlibdeps. When lintian is installed it checks the package, and an
# error (a line "E: ...") fails the script. Install the package with
#   sudo apt-get install ./build-package/mz4800_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DMZ_BUILD_TESTS=OFF >/dev/null
cmake --build build-package
rm -f build-package/mz4800_*.deb
(cd build-package && cpack -G DEB)
deb=$(ls -1 build-package/mz4800_*.deb)
if command -v lintian >/dev/null; then
  echo "lintian $deb"
  # Errors fail the script; warnings and the rest are shown.
  lintian --fail-on error "$deb"
else
  echo "lintian is not installed: the package was not checked (apt-get install lintian)"
fi
echo "$deb"
