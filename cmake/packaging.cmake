# What `cmake --install` puts where, and the packages CPack makes of it:
# a .deb (MORVANTIC_DEBIAN) and a static .tar.gz on Linux, a .zip on
# Windows, the web release's .zip for WebAssembly. scripts/package makes
# them all, reproducibly.
include(GNUInstallDirs)
set(docs ${CMAKE_INSTALL_DOCDIR})

# Every date in them is SOURCE_DATE_EPOCH's when it is set (the release's),
# else the build's.
string(TIMESTAMP MORVANTIC_DATE "%Y-%m-%d" UTC)

# Text files for Windows, with the line ends its own editors expect:
# install_crlf(SOURCE NAME) configures SOURCE into NAME.txt and installs it.
function(install_crlf source name)
  configure_file(${source} ${CMAKE_CURRENT_BINARY_DIR}/${name}.tmp @ONLY)
  file(READ ${CMAKE_CURRENT_BINARY_DIR}/${name}.tmp content)
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}.txt "${content}")
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${name}.txt DESTINATION .)
endfunction()

# Packages, versioned from project() like the banner.
set(CPACK_PACKAGE_NAME morvantic)
set(CPACK_PACKAGE_VENDOR "morvantic contributors")
set(CPACK_PACKAGE_CONTACT "${MORVANTIC_EMAIL}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "calculator for one common-cathode triode amplifier stage")
set(CPACK_PACKAGE_DESCRIPTION
    "morvantic asks at the console for the five values of one common-cathode
triode amplifier stage (the amplification factor, the plate resistor, the
plate's internal resistance, the load impedance and the cathode resistor)
and prints, for the cathode resistor bypassed and un-bypassed, the voltage
gain, the gain in decibels and the load impedance. A number typed is rounded
to the nearest double, then to the nearest float, and a result printed is
correctly rounded, ties to even. The results are the same bits on every
processor the program is tested on; the gain in decibels rests on the C
library's log10.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${MORVANTIC_WEB}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # The .zip: the program, a quick start, the licence and what the program
  # contains of the mingw-w64 runtime and winpthreads (linked statically),
  # whose licences Debian gathers in one file.
  install(TARGETS morvantic RUNTIME DESTINATION .)
  install_crlf(doc/README-windows.txt README)
  install_crlf(LICENSE LICENSE)
  set(mingw_copyright /usr/share/doc/mingw-w64-common/copyright)
  if(EXISTS ${mingw_copyright})
    install_crlf(${mingw_copyright} NOTICE)
  else()
    message(WARNING "mingw-w64's copyright file not found: no NOTICE.txt")
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME morvantic-${PROJECT_VERSION}-win64)
  include(CPack)
  return()
endif()

if(CMAKE_SYSTEM_NAME STREQUAL "WASI")
  # The web release, which scripts/package zips: site/, the folder that any
  # static host serves as it is (the page, its manifest, icons and service
  # worker), an example nginx configuration for it, and the licence. (The
  # page alone is the build's morvantic-<version>-web.html.)
  if(MORVANTIC_RELEASE)
    install(DIRECTORY ${MORVANTIC_RELEASE}/ DESTINATION .)
    install(FILES LICENSE DESTINATION .)
  endif()
  return()
endif()

install(TARGETS morvantic RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(MORVANTIC_DEBIAN)
  # Nothing in the .deb's program that it does not need: the compilers'
  # names in .comment.
  add_custom_command(TARGET morvantic POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
            $<TARGET_FILE:morvantic>)
endif()

# The manual: its header names the version and the release's date.
configure_file(doc/morvantic.1 morvantic.1 @ONLY)
find_program(GZIP gzip)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND GZIP)
  # Gzipped as Debian installs it, without a name or time in the header.
  set(manual ${CMAKE_CURRENT_BINARY_DIR}/morvantic.1.gz)
  add_custom_command(OUTPUT ${manual}
    COMMAND ${GZIP} -9 -n -f -k ${CMAKE_CURRENT_BINARY_DIR}/morvantic.1
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/morvantic.1
    VERBATIM)
  add_custom_target(compressed_manual ALL DEPENDS ${manual})
  install(FILES ${manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/morvantic.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# For desktops: the icon, a menu entry that opens a terminal, and the
# AppStream metadata that software centres show.
install(FILES doc/morvantic.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES doc/morvantic.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(doc/morvantic.metainfo.xml
               org.example.morvantic.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/org.example.morvantic.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

if(MORVANTIC_DEBIAN)
  # The licence once, in Debian's machine-readable copyright format, made
  # from LICENSE, and the changelog, gzipped as Debian installs it.
  file(READ LICENSE licence)
  string(REGEX REPLACE "^.*(Permission is hereby)" "\\1" licence "${licence}")
  string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REGEX REPLACE "\n$" "" licence "${licence}")
  string(REPLACE "\n" "\n " licence " ${licence}")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: morvantic
Source: ${MORVANTIC_WEB}

Files: *
Copyright: 2026 morvantic contributors
License: Expat
${licence}
")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS LICENSE)
  configure_file(doc/debian/changelog changelog @ONLY)
  set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
  add_custom_command(OUTPUT ${changelog}
    COMMAND ${GZIP} -9 -n -f -k ${CMAKE_CURRENT_BINARY_DIR}/changelog
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog
    VERBATIM)
  add_custom_target(compressed_changelog ALL DEPENDS ${changelog})
  install(FILES ${changelog} ${CMAKE_CURRENT_BINARY_DIR}/copyright
          DESTINATION ${docs})
else()
  install(FILES LICENSE DESTINATION ${docs})
endif()

include(cmake/archive-arch.cmake)

# A static program that contains glibc (LGPL-2.1+) says so, where its
# source is and how to relink, with the licence's text beside it (kept in
# the tree: not every system has Debian's common-licenses).
if(MORVANTIC_LINKS_STATIC)
  execute_process(
    COMMAND ${CMAKE_CXX_COMPILER} -E -dM -x c++ -include features.h /dev/null
    OUTPUT_VARIABLE macros ERROR_QUIET)
  if(macros MATCHES "__GLIBC__ ([0-9]+)")
    set(MORVANTIC_GLIBC ${CMAKE_MATCH_1})
    string(REGEX MATCH "__GLIBC_MINOR__ ([0-9]+)" _ "${macros}")
    set(MORVANTIC_GLIBC ${MORVANTIC_GLIBC}.${CMAKE_MATCH_1})
    configure_file(doc/NOTICE-glibc.in NOTICE @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/NOTICE doc/LGPL-2.1
            DESTINATION ${docs})
  endif()
endif()

set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_FILE_NAME morvantic-${PROJECT_VERSION}-linux-${MORVANTIC_ARCH})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "morvantic contributors <${MORVANTIC_EMAIL}>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
