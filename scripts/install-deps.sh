#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test Pennavox.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev libqt6sql6-sqlite qt6-serialport-dev libgl-dev
    nettle-dev libsqlite3-dev libxlsxwriter-dev liborcus-dev libzip-dev libbenchmark-dev libgeographiclib-dev
    python3-geographiclib python3-openpyxl libxml2-utils
    xvfb xauth imagemagick poppler-utils fonts-dejavu-core
    cmark desktop-file-utils appstream dpkg-dev file locales tzdata
)

# The clubs' languages: the suite runs a second time under the German locale, and the workbook
# test writes under each of them.
locales=(de_DE.UTF-8 cs_CZ.UTF-8 ro_RO.UTF-8 es_ES.UTF-8 fr_FR.UTF-8 hu_HU.UTF-8)

missing=()
for p in "${packages[@]}"; do
    grep -q "install ok installed" <<<"$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" || missing+=("$p")
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

have=$(locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')
generate=0
for l in "${locales[@]}"; do
    want=$(tr '[:upper:]' '[:lower:]' <<<"$l" | sed 's/utf-8/utf8/')
    if ! grep -qx "$want" <<<"$have"; then
        # Uncomments the line in locale.gen, or adds it.
        if grep -q "^# *$l UTF-8" /etc/locale.gen; then
            $SUDO sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
        elif ! grep -q "^$l UTF-8" /etc/locale.gen; then
            echo "$l UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
        fi
        generate=1
    fi
done
if [ $generate -eq 1 ]; then
    $SUDO locale-gen
fi
