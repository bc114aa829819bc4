#!/usr/bin/env bash
# Installs what packaging needs, builds the program in Release in build-package/ (or the folder
# given) and makes the Debian package pelidor_<version>_<architecture>.deb there.
# Install it with: apt-get install ./build-package/pelidor_*.deb   (through sudo when not root)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-package}
"$top/scripts/install-deps.sh" package
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPELIDOR_TESTS=OFF -DPELIDOR_BENCH=OFF \
    >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/pelidor_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/pelidor_*.deb)
[ -f "${debs[0]}" ] || { echo "$0: CPack made no package in $build" >&2; exit 1; }
# Without dpkg-shlibdeps CPack still makes a package, but one that names none of the libraries
# the program needs; every program needs the C library, so its absence shows that.
depends=$(dpkg-deb -f "${debs[0]}" Depends)
libc='(^|[ ,])libc6([ ,(]|$)'
if [[ ! $depends =~ $libc ]]; then
    echo "$0: the package's dependencies were not found (Depends: $depends)" >&2
    exit 1
fi
echo "package: ${debs[0]}"
