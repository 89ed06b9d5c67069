# Linux on 32-bit x86 (i686; SSE2 arithmetic, never x87) with Debian's cross compiler; tests run under qemu-user.
set(MORVANTIC_TRIPLE i686-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MORVANTIC_QEMU qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
