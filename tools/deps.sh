#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Checks with dpkg first, so a ready machine is not slowed.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-serialport-dev libgl-dev
  libproj-dev proj-data proj-bin
  libsqlite3-dev
  libgtest-dev libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core
  gdal-bin python3-dbfread
  fonts-symbola
  # The fuzz targets (tools/fuzz.sh): clang with its sanitizer and libFuzzer runtimes.
  clang libclang-rt-dev
)
# LibreOffice renders the metafiles the program writes, for the test labelled
# "office" (about 190 MB; TOLVANE_WITHOUT_OFFICE=1 leaves it out and the test
# is skipped).
if [ "${TOLVANE_WITHOUT_OFFICE:-0}" != 1 ]; then
  packages+=(libreoffice-draw)
fi
# A virtual display, and what tools/xdotool-digitize.sh drives and reads it with.
if [ "${TOLVANE_WITH_DISPLAY:-0}" = 1 ]; then
  packages+=(xvfb xauth xdotool x11-apps python3)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" != 0 ]; then
  command -v sudo >/dev/null || { echo "Root rights are needed to install: ${missing[*]}" >&2; exit 1; }
  SUDO=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
