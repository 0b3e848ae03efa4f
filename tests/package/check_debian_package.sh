#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks its fields and contents, lets lintian
# judge it, installs it with apt as a lab would, starts the installed program until its window
# is shown, and removes the package again, checking that none of its files is left. Needs root
# (skipped without); the package is removed whatever step fails.
#   check_debian_package.sh <build folder> <work folder> <probe plugin folder> <app id> <version> <icon size>...
set -euo pipefail
build=$1 work=$2 probe_plugins=$3 app_id=$4 version=$5
shift 5
sizes=("$@")
source "$(dirname "$0")/installed_files.sh"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
field() { sed -n "s/^ $1: //p" <<<"$info"; }

if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: installing a package needs root; CI runs the tests as root"
  exit 77
fi
for tool in cpack dpkg-deb dpkg-shlibdeps lintian apt-get unshare timeout; do
  command -v "$tool" >/dev/null || fail "$tool is missing; bash scripts/setup.sh test installs it"
done
if dpkg-query -W -f='${Status}' orvane 2>/dev/null | grep -q ' installed$'; then
  fail "orvane is installed on this machine already; this test installs and removes its own" \
    "build, so remove that one first (apt-get remove orvane)"
fi

rm -rf "$work"
mkdir -p "$work"
chmod 755 "$work" # apt's download user reads the package from here
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$work/cpack.log")"
deb=$work/orvane_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "cpack wrote no $(basename "$deb"): $(ls "$work")"

# The control fields: name, version, the libraries found in the binary and what it cannot tell.
info=$(dpkg-deb --info "$deb")
echo "$info"
[ "$(field Package)" = orvane ] || fail "the package is not named orvane"
[ "$(field Version)" = "$version" ] || fail "the package's version is not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "the package's architecture is wrong"
depends=$(field Depends)
depended=$(tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | sort -u)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqcustomplot2.1-qt6 \
  libportaudio2 libsndfile1; do
  grep -qxF "$library" <<<"$depended" || fail "Depends lacks $library: $depends"
done
grep -q libasound2-plugins <<<"$(field Recommends)" || fail "the ALSA pulse plugin is not recommended"

# The contents: the installed tree's files, owned by root, with the usual modes.
contents=$(dpkg-deb --contents "$deb")
if ! diff <(installed_files "$app_id" "${sizes[@]}" | sed 's#^#./usr/#' | sort) \
  <(awk '$1 !~ /^d/ {print $6}' <<<"$contents" | sort); then
  fail "the package's files differ from the installed tree's (< missing, > not expected)"
fi
awk '$2 != "root/root" {exit 1}' <<<"$contents" || fail "not every entry belongs to root"
awk '$6 == "./usr/bin/orvane" && $1 != "-rwxr-xr-x" {exit 1}
     $1 ~ /^-/ && $6 != "./usr/bin/orvane" && $1 != "-rw-r--r--" {exit 1}' <<<"$contents" ||
  fail "a file has an unusual mode: $contents"

lintian_out=$(timeout 600 lintian --allow-root --fail-on error "$deb" 2>&1) || fail "lintian found errors: $lintian_out"
echo "lintian: ${lintian_out:-no remarks}"

remove_package() {
  local status
  status=$(dpkg-query -W -f='${Status}' orvane 2>/dev/null) || return 0
  if grep -Eq ' (installed|config-files|half-.*|unpacked)$' <<<"$status"; then
    DEBIAN_FRONTEND=noninteractive timeout 600 apt-get -o DPkg::Lock::Timeout=300 purge -y orvane \
      >/dev/null 2>&1 || dpkg --purge orvane >/dev/null 2>&1 || true
  fi
}
trap remove_package EXIT
trap 'exit 1' INT TERM HUP

DEBIAN_FRONTEND=noninteractive timeout 900 apt-get -o DPkg::Lock::Timeout=300 install -y "$deb" \
  >"$work/install.log" 2>&1 || fail "apt-get install failed: $(cat "$work/install.log")"
files=$(dpkg-query -L orvane)

# The installed program as a user starts it, with a song folder in its home and the build's
# stand-in for the device driver (a lab has the driver installed) so that no error box comes up;
# the home is a private bind mount, so the machine's own home is left untouched. The probe plugin
# reports each window shown and closes it.
home=$(getent passwd "$(id -u)" | cut -d: -f6)
mkdir -p "$work/home/kro"
status=0
shown=$(QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$probe_plugins" \
  LD_LIBRARY_PATH="$build/tests/io/simulated_driver/full" \
  QT_QPA_GENERIC_PLUGINS=orvaneshownprobe timeout 120 unshare --mount --propagation private \
  sh -c 'mount --bind "$1" "$2" && exec orvane' sh "$work/home" "$home" 2>"$work/program.log") ||
  status=$?
echo "$shown" | grep -v '^font:' || true
[ "$(grep '^shown: ' <<<"$shown")" = 'shown: TForm1 "Orvane"' ] ||
  fail "the installed program did not open straight into its main window (exit $status):" \
    "$shown $(cat "$work/program.log")"
[ "$status" -eq 0 ] || fail "the installed program ended with exit code $status"
grep -qx "desktop file: $app_id" <<<"$shown" && [ -f "/usr/share/applications/$app_id.desktop" ] ||
  fail "the program does not name its installed desktop entry, so desktops show no icon for it"

# Every font package the window draws from is a dependency, and every font dependency is drawn from.
used=$(sed -n 's/^font: //p' <<<"$shown" | xargs -r dpkg-query -S | cut -d: -f1 | sort -u)
[ -n "$used" ] || fail "the window drew with no font file"
declared=$(grep '^fonts-' <<<"$depended" || true)
[ "$used" = "$declared" ] ||
  fail "the window's fonts come from $(echo $used) but the package depends on $(echo $declared)"

DEBIAN_FRONTEND=noninteractive timeout 600 apt-get -o DPkg::Lock::Timeout=300 remove -y orvane \
  >"$work/remove.log" 2>&1 ||
  fail "apt-get remove failed: $(cat "$work/remove.log")"
! dpkg-query -W -f='${Status}' orvane 2>/dev/null | grep -Eq ' (installed|config-files)$' ||
  fail "orvane is still installed: $(dpkg-query -W -f='${Status}' orvane)"
left=()
while IFS= read -r path; do
  # dpkg removes a folder of the package once it is empty; one that stays must belong to another
  # package, or something left a file in it.
  if [ "$path" != /. ] && { [ -e "$path" ] || [ -L "$path" ]; }; then
    [ -d "$path" ] && [ ! -L "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1 || left+=("$path")
  fi
done <<<"$files"
((${#left[@]} == 0)) || fail "removing the package left: ${left[*]}"
echo "the package installs, starts its window and removes cleanly"
