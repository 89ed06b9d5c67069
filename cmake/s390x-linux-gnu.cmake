# Linux on s390x (64-bit, big-endian) with Debian's cross compiler; tests run under qemu-user.
set(MORVANTIC_TRIPLE s390x-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(MORVANTIC_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
