# Hardened programs (HALVIK_HARDEN, on in the release and windows presets): on Linux the flags of
# Debian's hardening (fortified libc calls, stack protector, stack clash protection, control-flow
# protection, position-independent executables, read-only relocations bound at start); on
# Windows their MinGW-w64 equivalents (address-space randomisation with high entropy, no-execute
# data, stack protector and fortified calls, whose checks live in libssp).
option(HALVIK_HARDEN "Build hardened programs" OFF)
if(NOT HALVIK_HARDEN)
  return()
endif()

add_compile_options(-fstack-protector-strong -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2)
if(WIN32)
  add_link_options(-fstack-protector-strong -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)
  link_libraries(ssp)
else()
  add_compile_options(-fstack-clash-protection -fcf-protection -Wformat -Werror=format-security)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
