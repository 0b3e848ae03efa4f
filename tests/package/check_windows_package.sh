#!/usr/bin/env bash
# The Windows package as a lab meets it, under Wine:
#   check_windows_package.sh <package folder> <zip name> <probe plugin folder> <simulated driver DLL>
#                            <work folder>
# 1. Every DLL that a shipped file imports is shipped too or is part of Windows.
# 2. Unpacked into a fresh Wine prefix with only the simulated driver beside it and two songs in
#    c:\kro\, the program starts, lists the songs, runs a trial to its decision with the valve
#    pattern that decision calls for, puts LF-only text on the clipboard, shows that trial in the
#    Progress window opened before the run, exports the charts as a PNG picture and a PDF drawing
#    that are not empty, and exits with code 0. Its window's thread held up for three seconds in
#    the middle of the run, and then the whole program stopped for three (SIGSTOP, SIGCONT), it
#    reads the perch at least 50 ms apart once it goes on: the ticks it missed do not come in a
#    burst. The zip names the libraries it holds.
# 3. The installer, run silently with the rights Wine gives, puts the program under Program Files
#    with a Start-menu entry, and its uninstaller takes both away again.
set -euo pipefail

package=$1 name=$2 probe_plugins=$3 driver=$4 work=$5
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ -f "$package/$name.zip" ] || fail "$package/$name.zip is missing; build the target windows_packages"
rm -rf "$work"
mkdir -p "$work"
(cd "$work" && cmake -E tar xf "$package/$name.zip")
app=$work/$name
[ -f "$app/orvane.exe" ] || fail "the zip holds no $name/orvane.exe"

# 1. Imports, as the Windows loader resolves them: beside the program or from the system.
shipped=$(cd "$app" && find . -iname '*.dll' -printf '%f\n' | tr '[:upper:]' '[:lower:]')
while IFS= read -r file; do
  while IFS= read -r dll; do
    lower=${dll,,}
    grep -qxF "$lower" <<<"$shipped" && continue
    case $lower in
      api-ms-win-* | advapi32.dll | comdlg32.dll | d3d11.dll | d3d12.dll | d3d9.dll | dwmapi.dll | \
        dwrite.dll | dxgi.dll | gdi32.dll | imm32.dll | kernel32.dll | msvcrt.dll | netapi32.dll | \
        ole32.dll | oleaut32.dll | setupapi.dll | shell32.dll | shlwapi.dll | user32.dll | \
        userenv.dll | uxtheme.dll | version.dll | winmm.dll | ws2_32.dll | mpr.dll | \
        authz.dll | ntdll.dll | avrt.dll | wtsapi32.dll | shcore.dll | rpcrt4.dll | comctl32.dll | \
        uiautomationcore.dll | crypt32.dll | bcrypt.dll | secur32.dll | dnsapi.dll | iphlpapi.dll | \
        winspool.drv)
        ;;
      *) fail "${file#"$app"/} imports $dll, which the package does not hold" ;;
    esac
  done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$app" -iname '*.exe' -o -iname '*.dll')

# 2. A fresh Wine prefix, as a fresh machine; the program in a folder of its own on drive C.
export WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineboot --init >/dev/null 2>&1
wineserver --wait
program=$WINEPREFIX/drive_c/Orvane
cp -r "$app" "$program"
cp "$driver" "$program/nicaiu.dll"

# Two short silent songs, 16-bit mono at 8 kHz.
le32() {
  local v=$1
  # shellcheck disable=SC2059
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) \
    $((v >> 16 & 255)) $((v >> 24 & 255)))"
}
song() {
  local bytes=8000
  {
    printf 'RIFF'
    le32 $((36 + bytes))
    printf 'WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00'
    printf 'data'
    le32 $bytes
    head -c $bytes /dev/zero
  } >"$1"
}
mkdir -p "$WINEPREFIX/drive_c/kro"
song "$WINEPREFIX/drive_c/kro/Loud.wav"
song "$WINEPREFIX/drive_c/kro/soft.WAV"

windows_path() { echo "Z:${1//\//\\}"; }
calls=$work/calls.txt
reads=$work/read-times.txt
said=$work/stdout.txt
# Wine hands QT_ variables to Windows programs only under the names WINEQT_. The program runs in
# the process that `timeout` starts: wine execs into it.
(cd "$program" && SIMULATED_DRIVER_CALL_LOG=$(windows_path "$calls") \
  SIMULATED_DRIVER_READ_TIMES=$(windows_path "$reads") \
  WINEQT_PLUGIN_PATH=$(windows_path "$probe_plugins") WINEQT_QPA_GENERIC_PLUGINS=orvanerunprobe \
  exec timeout 600 wine 'C:\Orvane\orvane.exe' >"$said" 2>"$work/stderr.txt") &
runner=$!
# The probe presses Start and then holds the window's thread; a second after that the run is
# stopped for three seconds.
for _ in $(seq 300); do
  grep -q "^held the window's thread" "$said" 2>/dev/null && break
  kill -0 "$runner" 2>/dev/null || break
  sleep 1
done
stopped=
if grep -q "^held the window's thread" "$said" && program_pid=$(pgrep -P "$runner"); then
  sleep 1
  kill -STOP "$program_pid" && stopped=1
  sleep 3
  kill -CONT "$program_pid"
fi
status=0
wait "$runner" || status=$?
wineserver --kill || true
# The program's output and the driver's files end their lines with CR LF, as Windows does.
output=$(tr -d '\r' <"$said")
[ -f "$calls" ] && sed -i 's/\r$//' "$calls"
[ -f "$reads" ] && sed -i 's/\r$//' "$reads"
echo "$output"

[ "$status" -eq 0 ] || fail "the program exited with code $status"
grep -q '^error box' <<<"$output" && fail "an error box was shown"
grep -qx 'bad_song_list: Loud.wav, soft.WAV' <<<"$output" || fail "the bad song list is not c:\\kro\\'s songs"
grep -qx 'good_song_list: Loud.wav, soft.WAV' <<<"$output" || fail "the neutral list is not c:\\kro\\'s songs"
grep -qx 'decided trials: 1' <<<"$output" || fail "no trial was decided"
clipboard=$(sed -n 's/^clipboard: //p' <<<"$output")
[[ $clipboard == 'Time\tSong\tEscaped\t\t\n\n'* ]] || fail "the clipboard does not start with the title line"
[[ $clipboard != *'\r'* ]] || fail "the clipboard text holds a CR"
# The bird stayed on the perch: after a bad song the valve opens, after a neutral one it does not.
puff_on='DAQmxWriteDigitalLines(task 1, 1, 1, 10, 0, [0 0 0 1 0 0 0 0], null, null)'
if [[ $clipboard == *'\tbad\tNo\t'* ]]; then
  grep -qxF "$puff_on" "$calls" || fail "a bad song's trial did not open the valve"
elif [[ $clipboard == *'\tgood\tNo\t'* ]]; then
  grep -qxF "$puff_on" "$calls" && fail "a neutral song's trial opened the valve"
else
  fail "the logged trial is not one the bird stayed through: $clipboard"
fi
grep -q '^progress: 1 song (1 decision) ' <<<"$output" || fail "the Progress window did not show the trial"
for export in progress.png progress.pdf; do
  grep -Eq "^exported $export: [1-9][0-9]* bytes" <<<"$output" || fail "the charts were not exported as $export"
done
[ "$(head -c 8 "$program/progress.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "progress.png is not a PNG picture"
[ "$(head -c 4 "$program/progress.pdf")" = %PDF ] || fail "progress.pdf is not a PDF document"
grep -q QCustomPlot "$app/LIBRARIES.txt" || fail "LIBRARIES.txt does not name QCustomPlot"
tail -n1 "$calls" | grep -q '^DAQmxClearTask' || fail "the device was not released at the end"
# Microseconds on the driver's clock, one line per read, from the first stall on. The ticks come at
# least 50 ms apart; each read follows its tick's start within a millisecond.
[ -n "$stopped" ] || fail "the program could not be stopped in the middle of the run"
awk 'NR > 1 && $1 - last >= 2500000 { resumed = 1 }
     NR > 1 && resumed && $1 - last < 49000 && !told { told = 1; printf "%.1f ms\n", ($1 - last) / 1000 }
     { last = $1 }
     END { exit !(resumed && !told) }' "$reads" ||
  fail "after a stall the perch was read less than 50 ms apart, or no stall showed"

# 3.
version=${name#orvane-}
version=${version%-windows-x64}
setup=$package/orvane-$version-setup.exe
[ -f "$setup" ] || fail "$setup is missing"
wine "$(windows_path "$setup")" /S
installed=$WINEPREFIX/drive_c/Program\ Files/Orvane
entry=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Orvane.lnk
for file in orvane.exe Qt6Widgets.dll libQCustomPlotQt6.dll Qt6PrintSupport.dll platforms/qwindows.dll \
  LICENSE.txt LIBRARIES.txt uninstall.exe; do
  [ -f "$installed/$file" ] || fail "the installer did not put $file under Program Files"
done
[ -f "$entry" ] || fail "the installer made no Start-menu entry"
# The uninstaller goes on in a copy of itself after the first one returns: wait until the prefix's
# last program has ended.
wine 'C:\Program Files\Orvane\uninstall.exe' /S
wineserver --wait
[ ! -e "$installed/orvane.exe" ] && [ ! -e "$installed/platforms" ] || fail "the uninstaller left the program"
[ ! -e "$entry" ] || fail "the uninstaller left the Start-menu entry"
wineserver --kill || true
echo "The Windows package runs a trial under Wine and installs and uninstalls."
