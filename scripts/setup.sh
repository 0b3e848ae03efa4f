#!/usr/bin/env bash
# Sets up a Debian or Ubuntu machine for Orvane, builds it, and then starts it, runs its tests or
# makes its Debian package.
#   bash scripts/setup.sh start   install what is missing, build, start the program
#   bash scripts/setup.sh test    install what is missing, build, run every test
#   bash scripts/setup.sh package install what is missing, build build/package/orvane_<version>_<arch>.deb
#   bash scripts/setup.sh windows install what is missing, cross-build for 64-bit Windows, run every
#                                 test under Wine, build the zip and the installer in
#                                 build/windows/package/
set -euo pipefail

mode=${1:-}
case "$mode" in
  start | test | package | windows) ;;
  *)
    echo "usage: $0 start|test|package|windows" >&2
    exit 2
    ;;
esac

cd "$(dirname "$0")/.."

# Every Debian package the project needs, to build, run and test.
packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  portaudio19-dev libsndfile1-dev libsoxr-dev libasound2-dev libjack-jackd2-dev
  pulseaudio
  fonts-wine fonts-liberation2 fonts-dejavu-core
  libqcustomplot-dev
  # Only for the desktop's scalable icon, drawn at build time; the program does not use it.
  qt6-svg-dev
  file dpkg-dev lintian desktop-file-utils appstream
)

# The tests run the program on a display of its own that they can take away, a D-Bus daemon, and
# the format page's pandas and R examples.
if [ "$mode" = test ]; then
  packages+=(xvfb dbus python3-pandas r-base-core)
fi

# What the Windows build adds: the cross compiler, Wine to run the tests, NSIS for the installer,
# and what building the Windows libraries from Debian's sources takes.
if [ "$mode" = windows ]; then
  packages+=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 nsis googletest xvfb xauth qt6-base-dev-tools
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [ "$mode" = start ]; then
  cmake --preset dev
  cmake --build --preset dev --target orvane
  exec build/dev/app/orvane
fi

if [ "$mode" = package ]; then
  cmake --preset package
  cmake --build --preset package
  cpack --preset package
  exit 0
fi

if [ "$mode" = windows ]; then
  ORVANE_WINDOWS_DEPS=$(bash scripts/windows/build-deps.sh | tail -n1)
  export ORVANE_WINDOWS_DEPS
  cmake --preset windows
  cmake --build --preset windows
  cmake --build --preset windows --target windows_packages
  # Wine plays through the sound server; the packaged program's window needs a display.
  source scripts/sound-server.sh
  # The tests' Wine server runs until told to end (see scripts/windows/wine-run.sh).
  trap 'WINEPREFIX=$PWD/build/windows/wine wineserver -k 2>/dev/null || true' EXIT
  xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" ctest --preset windows
  exit 0
fi

cmake --preset ci
cmake --build --preset ci
source scripts/sound-server.sh
ctest --preset ci
