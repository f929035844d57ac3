# The Windows installer (CPack's NSIS generator, `scripts/package-windows`): the program folder
# under Program Files with the programs and the signature databases, a Start-menu shortcut, an
# uninstaller, and the means to relink the programs against another Qt (the LGPL v3 asks this of
# a program linked statically with Qt; see cmake/relink/README.txt).

# The program folder (the install root on Windows) gets the programs, the signature databases and
# the installed marker from the install rules of cmake/Install.cmake.
get_property(halvik_programs GLOBAL PROPERTY HALVIK_PROGRAMS)

# The relink kit: each program's own object files, the project's static libraries and libsodium,
# the Windows libraries they use, and a CMake project that links them again with any static Qt 6.
set(relink LGPL/relink)
foreach(program ${halvik_programs})
  install(FILES $<TARGET_OBJECTS:${program}> DESTINATION ${relink}/programs/${program})
endforeach()
install(FILES $<TARGET_FILE:halvik_ui> $<TARGET_FILE:halvik_cli> $<TARGET_FILE:halvik_core>
        $<TARGET_FILE:halvik_profile> $<TARGET_FILE:halvik_platform> $<TARGET_PROPERTY:halvik::sodium,IMPORTED_LOCATION>
        DESTINATION ${relink}/lib)
get_target_property(HALVIK_SYSTEM_LIBRARIES halvik_platform LINK_LIBRARIES)
list(FILTER HALVIK_SYSTEM_LIBRARIES EXCLUDE REGEX "^::@")  # CMake's marks of the folder that linked them
list(JOIN HALVIK_SYSTEM_LIBRARIES " " HALVIK_SYSTEM_LIBRARIES)
configure_file(cmake/relink/CMakeLists.txt.in relink/CMakeLists.txt @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/relink/CMakeLists.txt cmake/relink/README.txt DESTINATION ${relink})
install(FILES /usr/share/common-licenses/LGPL-3 RENAME LGPL-3.txt DESTINATION LGPL)
install(FILES /usr/share/common-licenses/GPL-3 RENAME GPL-3.txt DESTINATION LGPL)
# How the Qt inside was built; the script lives beside the repository with the packed Qt.
set(qt_build_script ${PROJECT_SOURCE_DIR}/../shared/toolchains/build-qt-mingw.sh)
if(EXISTS ${qt_build_script})
  install(PROGRAMS ${qt_build_script} DESTINATION LGPL)
endif()

set(CPACK_GENERATOR NSIS)
set(CPACK_VERBATIM_VARIABLES ON)
# A 64-bit installer for a 64-bit program (it also runs under a Wine without its 32-bit part),
# whose Start-menu folder is named without the version.
set(CPACK_NSIS_DEFINES "Target amd64-unicode\n!define MUI_STARTMENUPAGE_DEFAULTFOLDER \"Orvento Halvik\"")
# The daily scan of every drive, offered on the finish page (cmake/ScheduledScanTask.cmake).
include(cmake/ScheduledScanTask.cmake)
string(APPEND CPACK_NSIS_DEFINES "${HALVIK_TASK_DEFINES}")
# The installed programs lose their symbol tables; the relink kit's files keep theirs.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME "Orvento Halvik")
set(CPACK_PACKAGE_VENDOR "Orvento")
set(CPACK_PACKAGE_FILE_NAME "OrventoHalvik-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Orvento Halvik")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Orvento Halvik")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME "Orvento Halvik ${PROJECT_VERSION}")
set(CPACK_NSIS_PACKAGE_NAME "Orvento Halvik ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALLED_ICON_NAME "orvento-halvik.exe")
# The Start-menu shortcut; the programs lie in the program folder itself, not in bin.
set(CPACK_PACKAGE_EXECUTABLES "orvento-halvik" "Orvento Halvik")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
# The uninstaller removes the files it installed and the start-up entry that the settings dialog
# writes (the 64-bit view of the machine's Run key), when that entry starts this copy's companion
# program (written quoted, as the program writes it now, or unquoted, as it did before), the
# event log source and the scheduled scan; the user's logs, quarantine and settings stay.
# The event log source the program writes its events under (the Application log), registered
# with the types it uses (error, warning, information); removed with the program.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [[
  SetRegView 64
  WriteRegExpandStr HKLM "SYSTEM\CurrentControlSet\Services\EventLog\Application\Orvento Halvik" "EventMessageFile" "$INSTDIR\orvento-halvik.exe"
  WriteRegDWORD HKLM "SYSTEM\CurrentControlSet\Services\EventLog\Application\Orvento Halvik" "TypesSupported" 7
  SetRegView default
]])
string(APPEND CPACK_NSIS_EXTRA_INSTALL_COMMANDS "${HALVIK_TASK_INSTALL}")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [[
  SetRegView 64
  DeleteRegKey HKLM "SYSTEM\CurrentControlSet\Services\EventLog\Application\Orvento Halvik"
  ReadRegStr $0 HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "bobbypin"
  StrCmp $0 '"$INSTDIR\Sentrel.exe"' +2 0
  StrCmp $0 "$INSTDIR\Sentrel.exe" 0 +2
  DeleteRegValue HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "bobbypin"
  SetRegView default
]])
string(APPEND CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${HALVIK_TASK_UNINSTALL}")
include(CPack)
