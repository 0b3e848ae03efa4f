# A Windows build made on Linux runs its tests and benchmarks under Wine, in a Wine prefix of the
# build's own, with the DLLs they import found where the build took them from.

# The compiler's own runtime DLLs, which every C++ program and the Qt plugins import.
set(ORVANE_WINDOWS_RUNTIME_DLLS "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE file OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${file}" OR NOT EXISTS "${file}")
    message(FATAL_ERROR "The compiler's runtime library ${dll} was not found.")
  endif()
  list(APPEND ORVANE_WINDOWS_RUNTIME_DLLS "${file}")
endforeach()

# Qt's DLLs, PortAudio's and the runtime's folders.
get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT qt_core_dll)
  get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(qt_dll_folder "${qt_core_dll}" DIRECTORY)
set(dll_folders "${qt_dll_folder}" ${PORTAUDIO_LIBRARY_DIRS})
foreach(dll IN LISTS ORVANE_WINDOWS_RUNTIME_DLLS)
  get_filename_component(folder "${dll}" DIRECTORY)
  list(APPEND dll_folders "${folder}")
endforeach()
list(REMOVE_DUPLICATES dll_folders)
string(REPLACE ";" ":" dll_folders "${dll_folders}")
get_filename_component(qt_plugin_folder "${qt_dll_folder}/../plugins" ABSOLUTE)

set(ORVANE_WINE_PREFIX "${PROJECT_BINARY_DIR}/wine")
set(CMAKE_CROSSCOMPILING_EMULATOR bash "${PROJECT_SOURCE_DIR}/scripts/windows/wine-run.sh"
    "${ORVANE_WINE_PREFIX}" "${dll_folders}" "${qt_plugin_folder}")

# The window's font files, from Debian's Wine and Liberation font packages, for the programs that
# run on Qt's offscreen platform (see orvane_window_fonts_beside). Not Wine's MS Sans Serif (bitmaps
# of three sizes, no bold) nor its bold Tahoma (regular outlines): Tahoma draws both, thickened
# for bold, as on Linux.
set(ORVANE_WINDOW_FONT_FILES "")
foreach(file wine/fonts/tahoma.ttf fonts/truetype/liberation2/LiberationSans-Regular.ttf
             fonts/truetype/liberation2/LiberationSans-Bold.ttf)
  if(NOT EXISTS "/usr/share/${file}")
    message(FATAL_ERROR "The font file /usr/share/${file} is missing (packages fonts-wine, "
                        "fonts-liberation2).")
  endif()
  list(APPEND ORVANE_WINDOW_FONT_FILES "/usr/share/${file}")
endforeach()
