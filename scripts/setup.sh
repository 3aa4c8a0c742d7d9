#!/usr/bin/env bash
# Installs the Debian packages that building and testing Quillpress need,
# only those that are missing, and generates the locales the tests use.
# Usage: scripts/setup.sh [build|test|package]   (test adds the test-only
# tools, the fuzz targets' clang and its libFuzzer and sanitizer runtimes
# among them; package adds what building and checking the .deb needs)
set -euo pipefail

mode="${1:-test}"

build_packages=(cmake g++ make pkg-config qtbase5-dev qtbase5-dev-tools liblua5.3-dev
                libx11-dev libxtst-dev libxi-dev libwayland-dev libwayland-bin libxkbcommon-dev
                libevdev-dev)
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-utils xinput
               x11-xkb-utils locales g++-mingw-w64-x86-64-posix wine wine64
               clang-14 libclang-rt-14-dev gcovr desktop-file-utils appstream man-db
               sway wayland-protocols wtype)
# dpkg-shlibdeps (dpkg-dev) finds the runtime libraries; file lets CPack
# tell which installed files to strip.
package_packages=(dpkg-dev file lintian)

packages=("${build_packages[@]}")
if [ "$mode" = test ]; then packages+=("${test_packages[@]}"); fi
if [ "$mode" = package ]; then packages+=("${package_packages[@]}"); fi

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

# A German locale catches numbers written with a comma decimal point.
if [ "$mode" = test ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "setup: generating de_DE.UTF-8"
    as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
fi
