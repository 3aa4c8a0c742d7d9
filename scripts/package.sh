#!/usr/bin/env bash
# Builds the Debian package build/package/quillpress_VERSION_ARCH.deb
# (installing what is missing), then checks it with lintian.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh package

build=build/package
# Debian's hardening flags (fortified functions, full RELRO, PIE).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DQP_BUILD_TESTS=OFF -DQP_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/quillpress_*.deb)
echo "package: $deb"
lintian --fail-on error "$deb"
