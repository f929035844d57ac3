# Toolchain of the `windows` preset: the MinGW-w64 compilers (mingw-w64-x86_64.cmake), with the
# static Qt for MinGW-w64 in front of them when it is installed (`scripts/deps windows` unpacks
# it), so one preset builds the whole program where that Qt exists and the GUI-free libraries
# elsewhere. Qt's own toolchain file adds its prefix to the search paths and loads ours.
set(HALVIK_WINDOWS_QT_TOOLCHAIN /opt/qt6-mingw-static/lib/cmake/Qt6/qt.toolchain.cmake)
if(EXISTS ${HALVIK_WINDOWS_QT_TOOLCHAIN})
  set(QT_CHAINLOAD_TOOLCHAIN_FILE ${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
  include(${HALVIK_WINDOWS_QT_TOOLCHAIN})
else()
  include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
  # Without a Qt for the target there is no window to build, whatever the cache says.
  set(HALVIK_BUILD_GUI OFF)
endif()
