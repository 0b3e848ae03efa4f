# Installs the program into <PACKAGE_DIR>/<NAME>, packs that folder as <NAME>.zip and builds the
# installer orvane-<VERSION>-setup.exe from it.
set(stage "${PACKAGE_DIR}/${NAME}")
file(REMOVE_RECURSE "${stage}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${stage}"
                COMMAND_ERROR_IS_FATAL ANY)

file(REMOVE "${PACKAGE_DIR}/${NAME}.zip")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${NAME}.zip" --format=zip "${NAME}"
                WORKING_DIRECTORY "${PACKAGE_DIR}" COMMAND_ERROR_IS_FATAL ANY)

if(NOT MAKENSIS)
  message(FATAL_ERROR "makensis (NSIS) is needed for the installer.")
endif()
execute_process(COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} "-DSTAGE=${stage}"
                        "-DOUTFILE=${PACKAGE_DIR}/orvane-${VERSION}-setup.exe" "${SCRIPT}"
                COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "Wrote ${PACKAGE_DIR}/${NAME}.zip and ${PACKAGE_DIR}/orvane-${VERSION}-setup.exe")
