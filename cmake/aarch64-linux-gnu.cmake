# Linux on aarch64 with Debian's cross compiler; tests run under qemu-user.
set(MORVANTIC_TRIPLE aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(MORVANTIC_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
