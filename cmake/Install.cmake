# Installation (cmake --install BUILD --prefix /usr, or the Debian package of
# cmake/Package.cmake):
#   bin/                      QvsStudio, qvs-cli, drc-sim
#   lib/                      libRsvSectionControl.so.1.0.0 with its .so.1 and .so links
#   include/RsvSectionControl/controls/   the library's public headers
#   share/qvsstudio/          the program folder: res/ (catalogue, lists, rendered
#                             pictures and icons) and QVSMANUAL.pdf
#   share/applications/       qvsstudio.desktop
#   share/icons/hicolor/256x256/apps/qvsstudio.png
#   share/man/man1/           qvs-cli.1, drc-sim.1
# An installed program finds its resources as ../share/qvsstudio beside its
# bin/ folder (ProgramFolder) and the library through its RPATH ../lib.
# Included from the top-level CMakeLists.txt after every target exists.
include(GNUInstallDirs)

set(QVS_INSTALL_HOME ${CMAKE_INSTALL_DATADIR}/qvsstudio)

# The program folder rule of ProgramFolder.cpp only knows ../share/qvsstudio.
file(RELATIVE_PATH _qvs_bin_to_home /qvs/${CMAKE_INSTALL_BINDIR} /qvs/${QVS_INSTALL_HOME})
if(NOT _qvs_bin_to_home STREQUAL "../share/qvsstudio")
    message(WARNING "CMAKE_INSTALL_BINDIR/DATADIR put the resources at ${_qvs_bin_to_home} from the "
                    "programs; installed programs then need QVS_HOME or --home")
endif()
file(RELATIVE_PATH _qvs_bin_to_lib /qvs/${CMAKE_INSTALL_BINDIR} /qvs/${CMAKE_INSTALL_LIBDIR})

# --- Programs and the control library -------------------------------------
foreach(program QvsStudio qvs-cli drc-sim)
    if(TARGET ${program})
        # The build tree runs with $ORIGIN (the library beside the program);
        # the installed program looks in ../lib.
        set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/${_qvs_bin_to_lib}")
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

# libRsvSectionControl and its public headers: src/controls/CMakeLists.txt
# (the header list is relative to that folder).

# --- Program folder ---------------------------------------------------------
# The built res/ tree (copied sources plus the rendered pictures and icons),
# without the SVG sources of the pictures and the sources of the manual.
install(DIRECTORY ${QVS_BIN_DIR}/res
    DESTINATION ${QVS_INSTALL_HOME}
    REGEX "/res/(art|manual)$" EXCLUDE)
# The manual is built by its own target; installed when it is there.
install(FILES ${QVS_BIN_DIR}/QVSMANUAL.pdf DESTINATION ${QVS_INSTALL_HOME} OPTIONAL)

# --- Desktop integration ----------------------------------------------------
install(FILES ${CMAKE_SOURCE_DIR}/share/applications/qvsstudio.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
if(TARGET qvs_art)
    install(FILES ${QVS_BIN_DIR}/res/ico/QvsStudio.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
        RENAME qvsstudio.png)
endif()

# Manual pages, compressed as Debian expects (plain when gzip is missing).
find_program(QVS_GZIP gzip)
set(_qvs_man_files "")
foreach(page qvs-cli.1 drc-sim.1)
    set(source ${CMAKE_SOURCE_DIR}/man/${page})
    if(QVS_GZIP)
        set(target ${CMAKE_BINARY_DIR}/man/${page}.gz)
        add_custom_command(OUTPUT ${target}
            COMMAND ${CMAKE_COMMAND} -E copy ${source} ${CMAKE_BINARY_DIR}/man/${page}
            COMMAND ${QVS_GZIP} -9 -n -f ${CMAKE_BINARY_DIR}/man/${page}
            DEPENDS ${source}
            COMMENT "Compressing man/${page}"
            VERBATIM)
        list(APPEND _qvs_man_files ${target})
    else()
        list(APPEND _qvs_man_files ${source})
    endif()
endforeach()
add_custom_target(qvs_man ALL DEPENDS ${_qvs_man_files})
install(FILES ${_qvs_man_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qvsstudio)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
