#!/usr/bin/env bash
# Installs the Debian packages that are missing, for the groups named.
# Checks with dpkg first, so a ready machine is not slowed.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: tools/deps.sh [program] [tests] [display] [bench]
  Installs the Debian 12 packages that are missing (through sudo when not root):
    program  what building and running the map editor needs
    tests    what the tests need besides (GoogleTest, Google Benchmark, GDAL,
             dbfread, zbar's reader of barcodes, clang for the fuzz targets,
             minizip to read workbooks back,
             pdftoppm for printed pages, and LibreOffice Draw and Writer for
             the test labelled "office"; TOLVANE_WITHOUT_OFFICE=1 leaves
             LibreOffice out)
    display  a virtual display (Xvfb) and what tools/xdotool-digitize.sh
             drives and reads it with (xdotool, xwd, python3)
    bench    GDAL's development files for the benchmarks' GDAL loop, sqlite3
             for the search benchmark's peer and lua5.4 for the report
             expression benchmark
  printer  the print system (CUPS) and its PDF printer: when the print
             system offers no printer, CUPS is started and a printer "PDF"
             is added and made the default; its files land in the folder
             PDF of the printing user's home (tools/run.sh asks for it; the
             tests print through a backend of their own and need none)
  Without a group: program and tests, display with TOLVANE_WITH_DISPLAY=1,
  bench with TOLVANE_WITH_BENCH=1.
EOF
}

program=(
  cmake ninja-build g++ pkg-config ccache
  # The build checks includes and links against tools/layers.txt.
  python3
  qt6-base-dev qt6-serialport-dev qt6-image-formats-plugins libgl-dev libtiff-dev libjpeg-dev libgif-dev
  libproj-dev proj-data
  libsqlite3-dev
  # The spreadsheet export's workbook writer (".xlsx").
  libxlsxwriter-dev
  fonts-liberation2 fonts-dejavu-core fonts-symbola
  qt6-translations-l10n
)
tests=(libgtest-dev libbenchmark-dev proj-bin gdal-bin python3 python3-dbfread
  # zbarimg reads back the barcodes the reports draw.
  zbar-tools
  # The fuzz targets (tools/fuzz.sh): clang with its sanitizer and libFuzzer runtimes.
  clang libclang-rt-dev
  # pdftoppm, which shows the pages of PDF print jobs.
  poppler-utils
  # minizip, with which the export tests read the sheet out of a workbook.
  libminizip-dev)
# LibreOffice renders the metafiles the program writes (about 190 MB), opens
# the RTF it writes (Writer) and the workbooks of the spreadsheet export (Calc).
if [ "${TOLVANE_WITHOUT_OFFICE:-0}" != 1 ]; then
  tests+=(libreoffice-draw libreoffice-writer libreoffice-calc)
fi
display=(xvfb xauth xdotool x11-apps python3)
# GDAL's development files, for the benchmark's GDAL loop (bench/gdal; the
# build leaves it out without them), sqlite3, the peer of the search benchmark,
# and Lua 5.4, the peer of the report expression benchmark (bench/reports).
bench=(libgdal-dev sqlite3 lua5.4)
# CUPS with the printer that writes PDF files, so that a machine without a
# printer still prints and previews print.
printer=(cups cups-client printer-driver-cups-pdf)

groups=("$@")
if [ ${#groups[@]} -eq 0 ]; then
  groups=(program tests)
  [ "${TOLVANE_WITH_DISPLAY:-0}" = 1 ] && groups+=(display)
  [ "${TOLVANE_WITH_BENCH:-0}" = 1 ] && groups+=(bench)
fi
packages=()
with_printer=0
for g in "${groups[@]}"; do
  case "$g" in
    -h|--help) usage; exit 0 ;;
    program) packages+=("${program[@]}") ;;
    tests) packages+=("${tests[@]}") ;;
    display) packages+=("${display[@]}") ;;
    bench) packages+=("${bench[@]}") ;;
    printer) packages+=("${printer[@]}"); with_printer=1 ;;
    *) echo "deps.sh: unknown group \"$g\"" >&2; usage >&2; exit 2 ;;
  esac
done

SUDO=""
need_root() {
  if [ "$(id -u)" != 0 ]; then
    command -v sudo >/dev/null || { echo "Root rights are needed to $1" >&2; exit 1; }
    SUDO=sudo
  fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "tolvane: installing the Debian packages ${groups[*]} needs: ${missing[*]}"
  need_root "install: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
[ $with_printer = 1 ] || exit 0

# The print system: a machine whose CUPS offers a printer is left as it is.
# Otherwise CUPS is started where it does not run (a container starts no
# services) and gets the PDF printer.
cups_running() { LC_ALL=C lpstat -r 2>/dev/null | grep -q "^scheduler is running"; }
if ! cups_running; then
  need_root "start the print system (cupsd)"
  echo "tolvane: starting the print system (cupsd)"
  $SUDO cupsd
  for _ in $(seq 50); do
    cups_running && break
    sleep 0.2
  done
  cups_running || { echo "tolvane: the print system (cupsd) did not start" >&2; exit 1; }
fi
if [ -z "$(lpstat -e 2>/dev/null)" ]; then
  need_root "add the PDF printer"
  echo "tolvane: adding the printer \"PDF\" (its files land in ~/PDF of the user who prints)"
  $SUDO lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
  $SUDO lpadmin -d PDF
fi
