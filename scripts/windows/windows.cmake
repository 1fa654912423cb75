# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build: where the MinGW runtime and Qt's DLLs are, and Wine to run the tests and
# tools when cross-building.
set(CHIMEWELL_MINGW_RUNTIME)
foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "The MinGW runtime ${dll} was not found by ${CMAKE_CXX_COMPILER}")
    endif()
    list(APPEND CHIMEWELL_MINGW_RUNTIME "${path}")
endforeach()
set(CHIMEWELL_QT_PREFIX "${QT6_INSTALL_PREFIX}")

if(CMAKE_CROSSCOMPILING)
    set(dllDirs "${CHIMEWELL_QT_PREFIX}/${QT6_INSTALL_BINS}")
    foreach(dll IN LISTS CHIMEWELL_MINGW_RUNTIME)
        get_filename_component(dir "${dll}" DIRECTORY)
        list(APPEND dllDirs "${dir}")
    endforeach()
    list(REMOVE_DUPLICATES dllDirs)
    list(JOIN dllDirs ":" dllPath)
    set(CMAKE_CROSSCOMPILING_EMULATOR
        "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;--dlls=${dllPath}")
endif()

# The runnable folder (cmake --install): the programs and every DLL and plugin they load in
# bin/, the help pages in share/ where the program looks for them.
set(qtBin "${CHIMEWELL_QT_PREFIX}/${QT6_INSTALL_BINS}")
set(qtPlugins "${CHIMEWELL_QT_PREFIX}/${QT6_INSTALL_PLUGINS}")
install(FILES ${CHIMEWELL_MINGW_RUNTIME} "${qtBin}/Qt6Core.dll" "${qtBin}/Qt6Gui.dll"
    "${qtBin}/Qt6Widgets.dll" "${qtBin}/Qt6Network.dll" DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES "${qtPlugins}/platforms/qwindows.dll"
    DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
install(FILES "${qtPlugins}/styles/qwindowsvistastyle.dll"
    DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)
