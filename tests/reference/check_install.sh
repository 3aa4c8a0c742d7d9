#!/usr/bin/env bash
# Installs a built tree into a temporary prefix, checks that every file is
# where the desktop and the program look for it, and runs the desktop's
# validators on them. Usage: check_install.sh BUILD_DIR SOURCE_DIR APP_ID
set -euo pipefail
build=$1 source=$2 id=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/quillpress \
            "share/applications/$id.desktop" \
            "share/metainfo/$id.metainfo.xml" \
            "share/icons/hicolor/scalable/apps/$id.svg" \
            "share/icons/hicolor/128x128/apps/$id.png" \
            share/man/man1/quillpress.1.gz \
            share/doc/quillpress/ReadMe.txt \
            share/doc/quillpress/copyright; do
    [ -f "$prefix/$file" ] || fail "$file was not installed"
done
[ -x "$prefix/bin/quillpress" ] || fail "bin/quillpress is not executable"
cmp -s "$source/docs/ReadMe.txt" "$prefix/share/doc/quillpress/ReadMe.txt" ||
    fail "the installed reference differs from docs/ReadMe.txt"

# Each validator must pass without a word: hints and warnings count too.
out=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1) ||
    fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" 2>&1) ||
    fail "appstreamcli: $out"
out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/quillpress.1.gz" 2>&1 >/dev/null) ||
    fail "man: $out"
[ -z "$out" ] || fail "man --warnings: $out"
echo "installed and validated: $prefix"
