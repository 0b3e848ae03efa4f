# Sourced by setup.sh before the tests: makes sure a sound server with an output device runs,
# so that playback tests reach a real default output device even on a machine without sound hardware.
:
