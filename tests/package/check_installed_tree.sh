#!/usr/bin/env bash
# Installs the build into a staging folder with the package's prefix and checks what lands there:
# exactly the program, its menu entry, its icons, its metainfo and Debian's copyright and change
# log, each as the desktop's own tools want it.
#   check_installed_tree.sh <build folder> <stage folder> <icon check program> <app id> <version> <icon size>...
set -euo pipefail
build=$1 stage=$2 icon_check=$3 app_id=$4 version=$5
shift 5
source "$(dirname "$0")/installed_files.sh"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is missing; bash scripts/setup.sh test installs it"
done

rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root=$stage/usr

[ "$(ls -A "$stage")" = usr ] || fail "something was installed outside the prefix: $(ls -A "$stage")"
if ! diff <(installed_files "$app_id" "$@" | sort) <(cd "$root" && find . ! -type d | cut -c3- | sort); then
  fail "the installed files differ from the expected ones (< missing, > not expected)"
fi
[ -x "$root/bin/orvane" ] && [ "$(head -c 4 "$root/bin/orvane" | tail -c 3)" = ELF ] ||
  fail "bin/orvane is not an executable program"

desktop=$root/share/applications/$app_id.desktop
out=$(desktop-file-validate "$desktop" 2>&1) || true
[ -z "$out" ] || fail "desktop-file-validate: $out"
for line in Name=Orvane Exec=orvane "Icon=$app_id" Terminal=false; do
  grep -qx "$line" "$desktop" || fail "the desktop entry lacks $line"
done
grep -Eq '^Categories=(.*;)?Science;' "$desktop" || fail "the desktop entry is not in the Science menu"
grep -Eq '^Comment=.+' "$desktop" || fail "the desktop entry has no comment"

metainfo=$root/share/metainfo/$app_id.metainfo.xml
out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
grep -Eq '^[EW]: ' <<<"$out" && fail "appstreamcli validate: $out"
out=$(appstreamcli validate-tree --no-net "$stage" 2>&1) || fail "appstreamcli validate-tree: $out"
grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$metainfo" ||
  fail "the metainfo does not name release $version"

"$icon_check" "$root/share/icons/hicolor" "$app_id" "$@" || fail "the icons are not the window's picture"
echo "the installed tree is complete and valid"
