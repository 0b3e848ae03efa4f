#!/usr/bin/env bash
# Cross-builds Orvane's Windows dependencies (Qt, QCustomPlot, PortAudio, libsndfile, libsoxr,
# GoogleTest, Google Benchmark) from Debian's own source packages with MinGW-w64, into a cache outside the
# checkout that is keyed by their versions and reused when present.
# Prints the folder they are installed in as the last line of its output; the rest goes to stderr.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
toolchain=$root/cmake/windows/mingw-w64-x86_64.cmake
# Raise when the way the dependencies are built changes, so a stale cache is not reused.
recipe=2
jobs=${ORVANE_JOBS:-2}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/orvane
mkdir -p "$cache"

log() { echo "build-deps: $*" >&2; }

# Debian's source packages, fetched through an apt state of our own so that the machine's apt
# configuration is left as it is. Its sources are the machine's own binary sources, read as
# source ones: the same hosts, suites and keys.
apt_dir=$cache/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$apt_dir/preferences.d" \
  "$apt_dir/sources.list.d"
rm -f "$apt_dir/sources.list.d"/*
apt_etc=$(apt-config shell etc Dir::Etc/d | sed -n "s/^etc='\(.*\)'$/\1/p")
apt_etc=${apt_etc:-/etc/apt/}
sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "${apt_etc%/}/sources.list" \
  "${apt_etc%/}"/sources.list.d/*.list >"$apt_dir/sources.list" 2>/dev/null || true
for f in "${apt_etc%/}"/sources.list.d/*.sources; do
  [ -e "$f" ] || continue
  sed 's/^Types:.*$/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
done
apt_opts=(
  -o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o "Dir::Etc::sourceparts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir"
  -o "Dir::Etc::preferencesparts=$apt_dir/preferences.d" -o "Debug::NoLocking=1"
  -o "APT::Sandbox::User=root"
)
# A source the machine lists without source packages (a vendor's own repository, say) fails its
# part of the update; what matters is that Debian's packages are found below.
apt-get "${apt_opts[@]}" -qq update >&2 || log "some package sources gave no source index"

source_version() {
  apt-cache "${apt_opts[@]}" showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -n1
}

declare -A version
for pkg in qt6-base qcustomplot portaudio19 libsndfile libsoxr benchmark; do
  version[$pkg]=$(source_version "$pkg")
  [ -n "${version[$pkg]}" ] || {
    echo "build-deps: Debian has no source package $pkg" >&2
    exit 1
  }
done
version[googletest]=$(dpkg-query -W -f='${Version}' googletest)

key="r$recipe-qt${version[qt6-base]}-qcp${version[qcustomplot]}-pa${version[portaudio19]}"
key+="-sndfile${version[libsndfile]}"
key+="-soxr${version[libsoxr]}-bench${version[benchmark]}-gtest${version[googletest]}"
prefix=$cache/windows-${key//[^A-Za-z0-9.+-]/_}
# Sources and build folders, kept until everything is built so that an interrupted run resumes;
# those of other versions are dropped.
work=$cache/work
[ "$(cat "$work/key" 2>/dev/null)" = "$key" ] || rm -rf "$work"
mkdir -p "$work"
echo "$key" >"$work/key"
stamps=$prefix/.built
mkdir -p "$stamps"
export ORVANE_WINDOWS_DEPS=$prefix

fetch() { # fetch <source package>: unpacks it (Debian's patches applied) and prints its folder
  local pkg=$1 dir=$work/$1-${version[$1]}
  if [ ! -d "$dir" ]; then
    rm -rf "$work/dl-$pkg" && mkdir -p "$work/dl-$pkg"
    (cd "$work/dl-$pkg" && apt-get "${apt_opts[@]}" -qq source "$pkg=${version[$pkg]}" >&2)
    mv "$(find "$work/dl-$pkg" -mindepth 1 -maxdepth 1 -type d)" "$dir"
    rm -rf "$work/dl-$pkg"
  fi
  echo "$dir"
}

cmake_build() { # cmake_build <name> <source folder> <cmake options...>
  local name=$1 src=$2
  shift 2
  local build=$work/build-$name
  cmake -S "$src" -B "$build" -G Ninja -Wno-dev --log-level=WARNING \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DORVANE_WINDOWS_DEPS="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >&2
  cmake --build "$build" -j "$jobs" >&2
  cmake --install "$build" >&2
  rm -rf "$build"
}

step() { # step <name> <function>: runs the function unless its result is already in the cache
  if [ -e "$stamps/$1" ]; then
    log "$1: reused"
    return
  fi
  log "$1: building"
  local start=$SECONDS
  "$2"
  touch "$stamps/$1"
  log "$1: built in $((SECONDS - start)) s"
}

build_qt() {
  local src
  src=$(fetch qt6-base)
  # The Windows platform plugin of this release refers to OpenGL even when it is left out.
  sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$src/src/plugins/platforms/windows/qwindowswindow.cpp"
  # Its print engine refers to the DirectWrite font engine, which is only built with Direct2D.
  sed -i 's/^#if QT_CONFIG(directwrite)$/#if QT_CONFIG(directwrite) \&\& QT_CONFIG(direct2d)/' \
    "$src/src/printsupport/platform/windows/qprintengine_win.cpp"
  # Only what the program and its tests use; the host's moc, rcc and uic generate code. Without
  # Direct2D there is no DirectWrite font database to link, though the Windows plugin asks for one.
  cmake_build qt "$src" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DQT_BUILD_BENCHMARKS=OFF -DQT_BUILD_MANUAL_TESTS=OFF -DQT_GENERATE_SBOM=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_printsupport=ON -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_sql_sqlite=OFF -DFEATURE_testlib=ON \
    -DFEATURE_widgets=ON -DFEATURE_gui=ON
}

build_qcustomplot() {
  local src
  src=$(fetch qcustomplot)
  # Its own CMake build, as Debian's package uses it: QCustomPlotQt6.dll with its CMake package.
  cmake_build qcustomplot "$src" -DUSE_QT_VERSION=6
}

build_portaudio() {
  local src wasapi
  src=$(fetch portaudio19)
  # This release's build refuses WASAPI with MinGW, and its source names the WASAPI headers as
  # only MSVC's SDK spells them; MinGW-w64 ships them in lower case.
  sed -i 's/^  IF(MSVS)$/  IF(MSVS OR MINGW)/' "$src/CMakeLists.txt"
  sed -i '/src\/hostapi\/wasapi\/mingw-include/d' "$src/CMakeLists.txt"
  wasapi=$src/src/hostapi/wasapi/pa_win_wasapi.c
  sed -i -e 's/^#if defined(_MSC_VER) \&\& (_MSC_VER >= 1400)$/#if 1/' \
    -e 's/#include <Avrt.h>/#include <avrt.h>/' \
    -e 's/#include <Audioclient.h>/#include <audioclient.h>/' \
    -e 's/^\t#include <functiondiscoverykeys.h>$/\t#include <functiondiscoverykeys_devpkey.h>/' \
    "$wasapi"
  cmake_build portaudio "$src" -DPA_USE_ASIO=OFF -DPA_USE_DS=OFF -DPA_USE_WDMKS=OFF \
    -DPA_USE_WMME=ON -DPA_USE_WDMKS_DEVICE_INFO=OFF
}

build_sndfile() {
  local src
  src=$(fetch libsndfile)
  # WAV needs no external codec.
  cmake_build sndfile "$src" -DBUILD_SHARED_LIBS=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF \
    -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DENABLE_CPACK=OFF \
    -DINSTALL_PKGCONFIG_MODULE=ON -DINSTALL_MANPAGES=OFF
}

build_soxr() {
  local src
  src=$(fetch libsoxr)
  # Its pkg-config file is left out on Windows, where the program looks for it too.
  sed -i 's/^elseif (NOT WIN32)$/else ()/' "$src/src/CMakeLists.txt"
  cmake_build soxr "$src" -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
    -DWITH_OPENMP=OFF -DWITH_LSR_BINDINGS=OFF
}

build_gtest() {
  cmake_build gtest /usr/src/googletest -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON
}

build_benchmark() {
  local src
  src=$(fetch benchmark)
  cmake_build benchmark "$src" -DBUILD_SHARED_LIBS=OFF -DBENCHMARK_ENABLE_TESTING=OFF \
    -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_LTO=OFF \
    -DBENCHMARK_ENABLE_INSTALL=ON -DBENCHMARK_INSTALL_DOCS=OFF -DGIT_VERSION="${version[benchmark]%%-*}" \
    -DHAVE_STD_REGEX=ON -DRUN_HAVE_STD_REGEX=0 -DRUN_HAVE_STEADY_CLOCK=0
}

step qt build_qt
step qcustomplot build_qcustomplot
step portaudio build_portaudio
step sndfile build_sndfile
step soxr build_soxr
step gtest build_gtest
step benchmark build_benchmark
rm -rf "$work"
echo "$prefix"
