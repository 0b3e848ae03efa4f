# Cross-compiles for 64-bit Windows with MinGW-w64 (POSIX threads, so std::thread and
# std::mutex work). ORVANE_WINDOWS_DEPS names the folder the Windows dependencies are installed in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT ORVANE_WINDOWS_DEPS AND DEFINED ENV{ORVANE_WINDOWS_DEPS})
  set(ORVANE_WINDOWS_DEPS "$ENV{ORVANE_WINDOWS_DEPS}")
endif()
# Try-compile projects see the same folder.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVANE_WINDOWS_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ORVANE_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(ORVANE_WINDOWS_DEPS)
  list(APPEND CMAKE_PREFIX_PATH "${ORVANE_WINDOWS_DEPS}")
  # pkg-config reads the Windows libraries' .pc files, never the build machine's.
  set(ENV{PKG_CONFIG_LIBDIR} "${ORVANE_WINDOWS_DEPS}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
endif()

# A cross-built Qt runs the build machine's moc, rcc and uic: Debian's Qt 6 tools, which must be
# the same Qt version (package qt6-base-dev-tools).
if(NOT DEFINED QT_HOST_PATH)
  set(QT_HOST_PATH /usr CACHE PATH "Prefix of the build machine's Qt")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake
      CACHE PATH "CMake packages of the build machine's Qt")
endif()
