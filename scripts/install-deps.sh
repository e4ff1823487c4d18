#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test Pennavox.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev libqt6sql6-sqlite qt6-serialport-dev libgl-dev
    nettle-dev libsqlite3-dev libxlsxwriter-dev liborcus-dev libzip-dev libbenchmark-dev libgeographiclib-dev
    python3-geographiclib python3-openpyxl libxml2-utils
    xvfb xauth imagemagick poppler-utils fonts-dejavu-core
    cmark desktop-file-utils appstream dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
    grep -q "install ok installed" <<<"$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
