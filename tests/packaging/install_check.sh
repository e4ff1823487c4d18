#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs of it: the programs,
# the menu entry, the icons and the AppStream metadata, the last two checked by their own tools.
# Usage: install_check.sh BUILD_DIR
set -euo pipefail
build="$1"
for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
        exit 77
    fi
done
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for program in pennavox pennavox-cli pennavox-clock-sim; do
    test -x "$prefix/bin/$program" || { echo "missing bin/$program"; exit 1; }
done
"$prefix/bin/pennavox-cli" --version | grep -q '^pennavox-cli [0-9]'
desktop="$prefix/share/applications/org.pennavox.Pennavox.desktop"
metainfo="$prefix/share/metainfo/org.pennavox.Pennavox.metainfo.xml"
desktop-file-validate "$desktop"
appstreamcli validate --no-net --pedantic "$metainfo"
grep -q '^Exec=pennavox$' "$desktop"
icon="$(sed -n 's/^Icon=//p' "$desktop")"
test -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg"
for size in 16 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    test -f "$png" || { echo "missing $png"; exit 1; }
    # the picture is really that size
    [ "$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')" = "$size $size" ] ||
        { echo "$png is not ${size}x${size}"; exit 1; }
done
echo "installed and valid"
