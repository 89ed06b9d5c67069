# MORVANTIC_ARCH: the processor a .tar.gz is named by, CMake's name for it
# but as Debian names the two that differ.
set(MORVANTIC_ARCH ${CMAKE_SYSTEM_PROCESSOR})
string(REGEX REPLACE "^armv7.*" "armhf" MORVANTIC_ARCH "${MORVANTIC_ARCH}")
string(REPLACE "ppc64le" "ppc64el" MORVANTIC_ARCH "${MORVANTIC_ARCH}")
