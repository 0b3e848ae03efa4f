# The Debian package of what the install rules put in place: `cpack -G DEB` in the build folder
# writes orvane_<version>_<architecture>.deb.
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR "Orvane developers")
set(CPACK_PACKAGE_CONTACT "${ORVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "controller for song-playback conditioning trials with one bird
Orvane reads a perch sensor on a digital input of a data-acquisition device
and drives an air puffer on a digital output. While the bird sits on the
perch it now and then plays a neutral or a bad song from two folders of WAV
files, decides each trial a set time later, logs whether the bird stayed or
escaped, and puffs air after a bad song with the bird still on the perch.")

# The libraries come from the binary itself; the rest the binary cannot tell.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's Tahoma and MS Sans Serif come from fonts-wine, its Arial is drawn with Liberation
# Sans.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, fonts-liberation2")
# PortAudio plays through ALSA; where a PulseAudio or PipeWire server owns the sound card, only
# ALSA's pulse plugin (or PipeWire's own ALSA plugin) gets the songs to it. Without a server ALSA
# reaches the card directly, so this is a recommendation, not a dependency.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libasound2-plugins | pipewire-alsa")

include(CPack)
