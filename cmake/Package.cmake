# The Debian package (make package, or cmake --build BUILD --target package):
# everything cmake/Install.cmake installs, under /usr. The runtime
# dependencies come from dpkg-shlibdeps when it is there (the Qt libraries the
# programs really link: widgets, serial bus with its CAN plugins, PDF viewer
# when it was found at configure time, ...), else from the fixed list below.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qvsstudio)
set(CPACK_PACKAGE_VENDOR "Corvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Corvane service tools <service@corvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service tool for DRC hydraulic-valve controllers over CAN")
set(CPACK_PACKAGE_DESCRIPTION
    "QvsStudio reads, edits and writes the configuration of DRC valve controllers\n"
    "through a USB-to-CAN adapter (socketcan, or the adapter maker's PCAN-Basic\n"
    "library through Qt's peakcan plugin), watches the controller live and reads\n"
    "its diagnostics. Also contains qvs-cli, the headless tool, drc-sim, a\n"
    "simulated controller, and the RsvSectionControl control library.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The package lands in the package directory: the build folder (cpack -B DIR: DIR).

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.corvane.example")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The package carries libRsvSectionControl.so.1: a shlibs file for packages
# that link it, and ldconfig runs after installation.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)

find_program(QVS_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QVS_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # libRsvSectionControl is the package's own; the programs find it by
    # their RPATH $ORIGIN/../lib, which dpkg-shlibdeps follows.
else()
    set(_qvs_depends "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4)"
                     "libqt6serialbus6 (>= 6.4)")
    if(TARGET Qt6::PdfWidgets)
        list(APPEND _qvs_depends "libqt6pdf6 (>= 6.4), libqt6pdfwidgets6 (>= 6.4)")
    endif()
    list(JOIN _qvs_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()
# Not linked but wanted at run time: libsocketcan, which Qt's socketcan plugin
# loads to read the bus state (bus off, error passive) of a kernel CAN
# interface; the SVG icon engine for the icon themes of the file dialogs;
# native Wayland windows (XWayland works without).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsocketcan2, libqt6svg6, qt6-wayland")
# candump and cansend for checking an adapter and its bus.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "can-utils")

include(CPack)
