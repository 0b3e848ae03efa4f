# Sourced by setup.sh before the tests: makes sure a sound server with an output device runs,
# so that playback tests reach a real default output device even on a machine without sound hardware.

orvane_start_sound_server() {
  command -v pulseaudio >/dev/null 2>&1 || {
    echo "sound-server.sh: pulseaudio is not installed; playback tests will find no output device" >&2
    return 0
  }
  # A server that already answers, the user's own or one started earlier, is used as it is.
  if pulseaudio --check >/dev/null 2>&1; then
    return 0
  fi
  # A per-user server (also under root, where it only warns) with one null sink as its output.
  local flags=(--daemonize=yes --exit-idle-time=-1 --system=false -n
    --load=module-null-sink --load=module-native-protocol-unix --log-target=syslog)
  if ! pulseaudio "${flags[@]}" >/dev/null 2>&1; then
    echo "sound-server.sh: the PulseAudio server did not start; playback tests will find no output device" >&2
  fi
  return 0
}

orvane_start_sound_server
unset -f orvane_start_sound_server
