# Packages made by CPack from the install rules: a Debian package on Linux
# (orvento-halvik_<version>_amd64.deb, its dependencies computed from the binaries).
set(CPACK_PACKAGE_NAME orvento-halvik)
set(CPACK_PACKAGE_VENDOR Orvento)
set(CPACK_PACKAGE_CONTACT "Orvento <packages@orvento.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL http://www.orvento.example/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "anti-spyware tool with a French interface")
set(CPACK_PACKAGE_DESCRIPTION
  "Orvento Halvik scans folders for files whose name is a known threat
(adware, spyware, trojans), deletes what the user confirms after an
optional copy into a quarantine, restores quarantined files and runs an
active monitor that suspends running processes whose image name is a
known threat. Its interface is in French. Scans also run from a terminal
(orvento-halvik --scan), with exit statuses for scripts.")
set(CPACK_STRIP_FILES ON)

if(NOT WIN32)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # libcurl is loaded when a download starts, so no program names it for dpkg-shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4 (>= 7.88.1)")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
  # prerm: the machine-wide start-up entry goes with the package.
  set(HALVIK_PACKAGED_COMPANION ${CPACK_PACKAGING_INSTALL_PREFIX}/${HALVIK_PROGRAM_DIR}/Sentrel.exe)
  configure_file(${PROJECT_SOURCE_DIR}/data/desktop/prerm.in ${CMAKE_BINARY_DIR}/debian/prerm @ONLY)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/prerm)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
endif()

include(CPack)
