#!/usr/bin/env bash
# Runs song_onset_bench on an idle machine, under mixed CPU, I/O and memory load, and beside a
# -j4 build of the project, and prints the figures of each: the program's players first, then
# the system's own player (paplay) on the same sound server in the same run, as the baseline.
#   bash bench/playback/onset-under-load.sh <song_onset_bench> [songs] [modes...] [-- options...]
# modes: idle stress build (all three when none is given). Needs pulseaudio, and stress-ng for
# "stress". The options after "--" go to the bench itself (each, latency=<ms>).
#
# The songs play on a PulseAudio server of the bench's own, started here at normal priority
# (no real-time threads, no raised nice level) as a lab desktop's server may well run, and
# stopped at the end: a server the user already runs is neither used nor disturbed.
set -euo pipefail

bench=$1
songs=${2:-100}
shift $(($# < 2 ? $# : 2))
modes=()
while (($#)) && [ "$1" != -- ]; do
  modes+=("$1")
  shift
done
(($#)) && shift
options=("$@")
((${#modes[@]})) || modes=(idle stress build)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

server_dir=$(mktemp -d)
export PULSE_RUNTIME_PATH=$server_dir/runtime PULSE_STATE_PATH=$server_dir/state
export PULSE_SERVER=unix:$server_dir/runtime/native
mkdir -p "$PULSE_RUNTIME_PATH" "$PULSE_STATE_PATH"

load_pid=
scratch=
stop_load() {
  if [ -n "$load_pid" ]; then
    kill -- -"$load_pid" 2>/dev/null || true
    wait "$load_pid" 2>/dev/null || true
    load_pid=
  fi
  if [ -n "$scratch" ]; then
    rm -rf "$scratch"
    scratch=
  fi
}
stop_all() {
  stop_load
  pulseaudio --kill 2>/dev/null || true
  rm -rf "$server_dir"
}
trap stop_all EXIT

pulseaudio --daemonize=yes --exit-idle-time=-1 --system=false -n --high-priority=no \
  --realtime=no --load="module-native-protocol-unix socket=$server_dir/runtime/native" \
  --log-target=stderr 2>/dev/null
for _ in $(seq 50); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
echo "# sound server: PulseAudio $(pactl info | sed -n 's/^Server Version: //p'), normal priority"
echo "# machine: $(nproc) cores; the load average counts every process, other users' too"

for mode in "${modes[@]}"; do
  case "$mode" in
    idle) ;;
    stress)
      setsid stress-ng --cpu 4 --io 2 --vm 1 --vm-bytes 1G --quiet >/dev/null 2>&1 &
      load_pid=$!
      ;;
    build)
      # A build from nothing, without the compiler cache, so that it really compiles.
      scratch=$(mktemp -d)
      setsid bash -c "cmake -S '$source_dir' -B '$scratch' -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER_LAUNCHER= -DCMAKE_C_COMPILER_LAUNCHER= >/dev/null &&
        CCACHE_DISABLE=1 cmake --build '$scratch' -j4 >/dev/null" >/dev/null 2>&1 &
      load_pid=$!
      ;;
    *)
      echo "unknown mode $mode" >&2
      exit 2
      ;;
  esac
  [ "$mode" = idle ] || sleep 10  # let the load take hold
  echo "# $mode: load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
  "$bench" "$songs" "$mode" "${options[@]}"
  echo "# $mode: load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
  stop_load
done
