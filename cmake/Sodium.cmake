# libsodium, which checks the signatures of signature sets (Ed25519 and BLAKE2b): Debian's
# package on Linux; on Windows the static library that `scripts/deps windows` builds from
# Debian's source for MinGW-w64. The target halvik::sodium carries either.
if(WIN32)
  set(HALVIK_SODIUM_PREFIX /opt/libsodium-mingw CACHE PATH "libsodium built for MinGW-w64")
  if(NOT EXISTS ${HALVIK_SODIUM_PREFIX}/lib/libsodium.a)
    message(FATAL_ERROR "No libsodium for MinGW-w64 in ${HALVIK_SODIUM_PREFIX}: run scripts/deps windows")
  endif()
  add_library(halvik::sodium STATIC IMPORTED GLOBAL)
  set_target_properties(halvik::sodium PROPERTIES
    IMPORTED_LOCATION ${HALVIK_SODIUM_PREFIX}/lib/libsodium.a
    INTERFACE_INCLUDE_DIRECTORIES ${HALVIK_SODIUM_PREFIX}/include
    INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET GLOBAL libsodium)
  add_library(halvik::sodium ALIAS PkgConfig::SODIUM)
endif()
