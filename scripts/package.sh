#!/usr/bin/env bash
# Builds the Debian package build/package/quillpress_VERSION_ARCH.deb
# (installing what is missing), then checks it with lintian.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
# dpkg-shlibdeps (dpkg-dev) finds the runtime libraries; file lets CPack
# tell which installed files to strip.
missing=()
for p in dpkg-dev file lintian; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "package: installing ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

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
