# Compiler settings shared by every target of the project.

function(orvane_configure_target target)
  if(WIN32)
    # <windows.h> without its rarely used parts, and without the min and max macros that would
    # break std::min and std::max.
    target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
  endif()
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive- /utf-8)
    if(ORVANE_WERROR)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    # No contraction into fused multiply-adds: decisions compare exact products.
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -ffp-contract=off)
    if(ORVANE_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(ORVANE_SANITIZE)
      target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                               -fno-sanitize-recover=undefined)
      target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
  endif()
endfunction()

# The variable a test sets to put one folder on the library search path: the loader's own, or for
# a Windows build run under Wine the one the Wine runner puts on the program's PATH.
if(WIN32 AND CMAKE_CROSSCOMPILING)
  set(ORVANE_LIBRARY_PATH_VARIABLE ORVANE_WINE_PATH)
elseif(WIN32)
  set(ORVANE_LIBRARY_PATH_VARIABLE PATH)
else()
  set(ORVANE_LIBRARY_PATH_VARIABLE LD_LIBRARY_PATH)
endif()

# orvane_library(<name> SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
function(orvane_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  orvane_configure_target(${name})
endfunction()

# orvane_test(<name> SOURCES ... LIBS ... [QT] [ENVIRONMENT ...])
# QT: the test needs a QApplication; it runs on Qt's offscreen platform, never a real display.
function(orvane_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}")
  set(env ${ARG_ENVIRONMENT})
  if(ARG_QT)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} orvane_qt_test_main)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
    orvane_window_fonts_beside(${name})
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  endif()
  orvane_configure_target(${name})
  # The list's semicolons must survive being passed on as one property value.
  string(REPLACE ";" "\\;" env "${env}")
  # Listing the tests of a program may start Wine first, which takes far longer than on Linux.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES ENVIRONMENT "${env}")
endfunction()

# orvane_benchmark(<name> SOURCES ... LIBS ...)
function(orvane_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} orvane_bench_support benchmark::benchmark)
  orvane_configure_target(${name})
endfunction()

# orvane_window_fonts_beside(<target>): on a Windows build run under Wine, puts the window's font
# files into a "fonts" folder beside the program, where Qt's offscreen platform finds no others.
function(orvane_window_fonts_beside target)
  if(ORVANE_WINDOW_FONT_FILES)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/fonts
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ORVANE_WINDOW_FONT_FILES}
              $<TARGET_FILE_DIR:${target}>/fonts)
  endif()
endfunction()
