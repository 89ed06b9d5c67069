# Linux on 32-bit ARM, hard float (armhf) with Debian's cross compiler; tests run under qemu-user.
set(MORVANTIC_TRIPLE arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(MORVANTIC_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
