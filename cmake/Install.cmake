# Where `cmake --install` and the packages put the program. The program folder holds the program
# and everything it reads beside itself (the signature databases, the companion program); a copy
# installed by these rules also holds the marker file that tells it to keep the files it writes
# in the user's data folder. A build folder or a portable copy lacks the marker.

set(HALVIK_APP_ID example.orvento.Halvik)  # reverse-domain id on the program's web address
if(WIN32)
  set(HALVIK_PROGRAM_DIR .)
else()
  set(HALVIK_PROGRAM_DIR lib/orvento-halvik)
endif()

# halvik_install_program(<target>): one more program in the program folder.
function(halvik_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${HALVIK_PROGRAM_DIR})
endfunction()

# The marker's name is platform::kInstalledMarker.
set(HALVIK_INSTALLED_MARKER ${CMAKE_BINARY_DIR}/install-files/installed)
file(WRITE ${HALVIK_INSTALLED_MARKER}
  "This program folder was installed: Orvento Halvik keeps its logs and quarantine in each user's data folder.\n")
install(FILES ${HALVIK_INSTALLED_MARKER} DESTINATION ${HALVIK_PROGRAM_DIR})
