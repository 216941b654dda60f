cmake_minimum_required(VERSION 3.25) # script mode: today's policies
# Checks of an installed tree (a DESTDIR install or an unpacked package),
# shared by InstallLayoutTest.cmake and PackageTest.cmake. ROOT holds usr/.
# The programs run from the tree with LD_LIBRARY_PATH, QVS_HOME and QVS_BUS
# unset and the working folder outside the build: they can only find their
# library by their RPATH and their resources as ../share/qvsstudio.

function(qvs_fail)
    string(JOIN "" text ${ARGN})
    message(FATAL_ERROR "${text}")
endfunction()

function(qvs_expect_file path)
    if(NOT EXISTS "${path}")
        qvs_fail("missing: ${path}")
    endif()
endfunction()

function(qvs_expect_absent path)
    if(EXISTS "${path}")
        qvs_fail("should not be installed: ${path}")
    endif()
endfunction()

# Runs an installed program; sets <prefix>_RC, <prefix>_OUT and <prefix>_ERR.
function(qvs_run prefix workdir)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH --unset=QVS_HOME --unset=QVS_BUS
                --unset=QVS_BUS_MODEL QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=${workdir}/config
                XDG_RUNTIME_DIR=${workdir}/runtime ${ARGN}
        WORKING_DIRECTORY ${workdir}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
        TIMEOUT 60)
    set(${prefix}_RC "${rc}" PARENT_SCOPE)
    set(${prefix}_OUT "${out}" PARENT_SCOPE)
    set(${prefix}_ERR "${err}" PARENT_SCOPE)
endfunction()

function(qvs_expect_run_ok prefix what)
    if(NOT "${${prefix}_RC}" STREQUAL "0")
        qvs_fail("${what} failed (${${prefix}_RC})\nstdout:\n${${prefix}_OUT}\nstderr:\n${${prefix}_ERR}")
    endif()
endfunction()

# The 256x256 PNG of the desktop icon.
function(qvs_expect_png256 path)
    qvs_expect_file(${path})
    file(READ ${path} header LIMIT 24 HEX)
    # The signature, then the IHDR chunk: width and height, 32-bit big-endian.
    if(NOT header STREQUAL "89504e470d0a1a0a0000000d494844520000010000000100")
        qvs_fail("${path} is not a 256x256 PNG (${header})")
    endif()
endfunction()

# root: the tree; work: a scratch folder. MANUAL_EXPECTED: the manual must be
# there; CXX (and CXX_FLAGS): a compiler to build a program against the
# installed library.
function(qvs_check_installed_tree root work)
    set(usr ${root}/usr)
    set(home ${usr}/share/qvsstudio)
    file(MAKE_DIRECTORY ${work}/config ${work}/runtime)
    file(CHMOD ${work}/runtime PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

    # --- Layout ---------------------------------------------------------------
    foreach(program QvsStudio qvs-cli drc-sim)
        qvs_expect_file(${usr}/bin/${program})
    endforeach()
    qvs_expect_file(${usr}/lib/libRsvSectionControl.so.1.0.0)
    foreach(link libRsvSectionControl.so.1 libRsvSectionControl.so)
        if(NOT IS_SYMLINK ${usr}/lib/${link})
            qvs_fail("${usr}/lib/${link} is not a symbolic link")
        endif()
    endforeach()
    foreach(header CVarDataS.h CSection.h JoyMonitor.h DiagnosticError.h EvaluateWholeFormula.h RsvExport.h)
        qvs_expect_file(${usr}/include/RsvSectionControl/controls/${header})
    endforeach()
    qvs_expect_file(${home}/res/ini/Ramlist.ini)
    qvs_expect_file(${home}/res/ini/DiagnosticList.ini)
    qvs_expect_file(${home}/res/ico/QvsStudio.ico)
    qvs_expect_file(${home}/res/bmp/Init.jpg)
    qvs_expect_absent(${home}/res/art)
    qvs_expect_absent(${home}/res/manual)
    file(GLOB_RECURSE svgs ${home}/*.svg)
    if(svgs)
        qvs_fail("picture sources installed: ${svgs}")
    endif()
    if(MANUAL_EXPECTED)
        qvs_expect_file(${home}/QVSMANUAL.pdf)
    endif()
    qvs_expect_png256(${usr}/share/icons/hicolor/256x256/apps/qvsstudio.png)
    qvs_expect_file(${usr}/share/man/man1/qvs-cli.1.gz)
    qvs_expect_file(${usr}/share/man/man1/drc-sim.1.gz)

    set(desktop ${usr}/share/applications/qvsstudio.desktop)
    qvs_expect_file(${desktop})
    file(STRINGS ${desktop} entries)
    foreach(expected "Type=Application" "Exec=QvsStudio" "Icon=qvsstudio" "Terminal=false")
        if(NOT expected IN_LIST entries)
            qvs_fail("${desktop} lacks ${expected}")
        endif()
    endforeach()

    # The installed programs carry no path of the build tree.
    find_program(READELF readelf)
    if(READELF)
        foreach(program QvsStudio qvs-cli drc-sim)
            execute_process(COMMAND ${READELF} -d ${usr}/bin/${program} OUTPUT_VARIABLE dynamic)
            if(NOT dynamic MATCHES "R(UN)?PATH\\)[^\n]*\\[\\$ORIGIN/\\.\\./lib\\]")
                qvs_fail("${program}: RPATH is not $ORIGIN/../lib:\n${dynamic}")
            endif()
        endforeach()
    endif()

    # --- The programs run from the tree ---------------------------------------
    qvs_run(info ${work} ${usr}/bin/qvs-cli --bus sim info)
    qvs_expect_run_ok(info "qvs-cli --bus sim info")
    if(NOT info_OUT MATCHES "Software version: v[0-9]+\\.[0-9]+")
        qvs_fail("qvs-cli info printed no software version:\n${info_OUT}${info_ERR}")
    endif()
    qvs_run(peek ${work} ${usr}/bin/qvs-cli --simulate peek e2 1)
    qvs_expect_run_ok(peek "qvs-cli --simulate peek e2 1")

    foreach(program qvs-cli QvsStudio)
        qvs_run(list ${work} ${usr}/bin/${program} --list-buses)
        qvs_expect_run_ok(list "${program} --list-buses")
        # Qt's CAN bus plugins are found (virtualcan always lists its channels).
        if(NOT list_OUT MATCHES "\nsim +sim +- +simulated" OR NOT list_OUT MATCHES "\nvirtualcan:can0 +virtualcan +can0")
            qvs_fail("${program} --list-buses:\n${list_OUT}${list_ERR}")
        endif()
    endforeach()

    qvs_run(gui ${work} QVS_EXIT_WHEN_SHOWN=1 ${usr}/bin/QvsStudio --simulate)
    qvs_expect_run_ok(gui "QvsStudio --simulate (offscreen, QVS_EXIT_WHEN_SHOWN)")
    if(NOT gui_OUT MATCHES "main window shown" OR gui_ERR MATCHES "no res/ folder")
        qvs_fail("QvsStudio did not start from the installed folder:\n${gui_OUT}${gui_ERR}")
    endif()

    # drc-sim loads the installed catalogue, then fails on a bus that cannot
    # exist (so nothing keeps running).
    qvs_run(sim ${work} ${usr}/bin/drc-sim --no-console --bus nosuchplugin:can0)
    if(NOT sim_ERR MATCHES "no CAN plugin 'nosuchplugin'" OR sim_ERR MATCHES "Ramlist")
        qvs_fail("drc-sim did not load the installed catalogue:\n${sim_OUT}${sim_ERR}")
    endif()

    # --- The control library links from the installed headers -----------------
    if(CXX)
        file(WRITE ${work}/consumer.cpp [=[
#include "controls/CVarDataS.h"
#include "controls/EvaluateWholeFormula.h"
#include <cstdio>
int main()
{
    CVarDataS record;
    (void)record;
    return EvaluateWholeFormula("X*2", 21) == 42 ? 0 : 1;
}
]=])
        separate_arguments(flags UNIX_COMMAND "${CXX_FLAGS}")
        execute_process(COMMAND ${CXX} -std=c++20 ${flags} -I${usr}/include/RsvSectionControl ${work}/consumer.cpp
                                -L${usr}/lib -lRsvSectionControl -Wl,-rpath,${usr}/lib -o ${work}/consumer
                        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
        if(NOT rc STREQUAL "0")
            qvs_fail("a program using the installed headers does not build:\n${out}")
        endif()
        qvs_run(consumer ${work} ${work}/consumer)
        qvs_expect_run_ok(consumer "the program linked to the installed libRsvSectionControl")
    endif()
endfunction()
