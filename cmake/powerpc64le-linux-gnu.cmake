# Linux on 64-bit POWER, little-endian (ppc64el) with Debian's cross compiler; tests run under qemu-user.
set(MORVANTIC_TRIPLE powerpc64le-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR ppc64le)
set(MORVANTIC_QEMU qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
