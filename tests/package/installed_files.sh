# Sourced by the package tests: the files an installation holds, relative to its prefix.
#   installed_files <app id> <icon size>...
installed_files() {
  local app_id=$1 side
  shift
  printf '%s\n' bin/orvane "share/applications/$app_id.desktop" \
    "share/metainfo/$app_id.metainfo.xml" "share/icons/hicolor/scalable/apps/$app_id.svg" \
    share/doc/orvane/copyright share/doc/orvane/changelog.gz share/man/man1/orvane.1.gz
  for side in "$@"; do
    printf '%s\n' "share/icons/hicolor/${side}x${side}/apps/$app_id.png"
  done
}
