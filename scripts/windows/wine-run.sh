#!/usr/bin/env bash
# Runs a program of the Windows build under Wine, as CTest's emulator:
#   wine-run.sh <Wine prefix> <DLL folders, ':'-separated> <Qt plugin folder> <program> [argument...]
# The prefix is made on first use, with Windows' own view of dot-files (Wine hides them unless
# told otherwise); its server runs until `wineserver -k`. Folders named in ORVANE_WINE_PATH come
# first on the program's PATH.
set -euo pipefail

prefix=$1 dll_folders=$2 plugin_folder=$3
shift 3

export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No installer dialogs for .NET or the HTML engine, no menu entries on the Linux desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

windows_path() {
  local path
  path=$(realpath -m "$1")
  echo "Z:${path//\//\\}"
}

if [ ! -e "$prefix/.ready-2" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -e "$prefix/.ready-2" ]; then
      wineboot --init >/dev/null 2>&1 9>&-
      wine reg add 'HKCU\Software\Wine' /v ShowDotFiles /d Y /f >/dev/null 2>&1 9>&-
      # A crash prints its backtrace and ends the program instead of waiting in a dialog.
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 9>&-
      wineserver --wait
      touch "$prefix/.ready-2"
    fi
  ) 9>"$prefix.lock"
fi

search_path=
IFS=: read -ra folders <<<"${ORVANE_WINE_PATH:+$ORVANE_WINE_PATH:}$dll_folders"
for folder in "${folders[@]}"; do
  search_path+="${search_path:+;}$(windows_path "$folder")"
done
export WINEPATH=$search_path
QT_PLUGIN_PATH=$(windows_path "$plugin_folder")
export QT_PLUGIN_PATH
# One server for the whole run, kept until `wineserver -k`: with Wine's default of a few seconds, a
# program started just as the server shut down failed to connect to it. Its helper processes start
# here, away from the program's output, which CTest would otherwise wait on until they end.
(
  flock 9
  # Neither may keep the lock's descriptor: the server would hold the lock for good.
  if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&-
  fi
) 9>"$prefix.lock"

# Wine passes a QT_ variable on to Windows programs only under the name WINEQT_.
for name in $(compgen -e); do
  case $name in
    QT_*) export "WINE$name=${!name}" ;;
  esac
done
exec wine "$@"
