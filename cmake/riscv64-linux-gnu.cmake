# Linux on 64-bit RISC-V with Debian's cross compiler; tests run under qemu-user.
set(MORVANTIC_TRIPLE riscv64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR riscv64)
set(MORVANTIC_QEMU qemu-riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
