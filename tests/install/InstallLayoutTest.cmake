# install_layout: `cmake --install BUILD --prefix /usr` into a fresh DESTDIR,
# then the installed tree must hold everything and run on its own.
# -DBUILD_DIR=... -DBIN_DIR=... -DWORK_DIR=... [-DCXX=...]
include(${CMAKE_CURRENT_LIST_DIR}/InstalledTree.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(root ${WORK_DIR}/root)
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root} ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc STREQUAL "0")
    qvs_fail("cmake --install failed:\n${out}")
endif()
# The manual is installed whenever the build made it.
if(EXISTS ${BIN_DIR}/QVSMANUAL.pdf)
    set(MANUAL_EXPECTED ON)
endif()
qvs_check_installed_tree(${root} ${WORK_DIR})
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "installed tree complete and working")
