# Linux on another processor with Debian's cross compiler for
# MORVANTIC_TRIPLE; programs, tests included, run under qemu-user with the
# target's libraries from /usr/<triple>. Included by the toolchain files
# named after the triples, which set the triple, the processor and qemu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${MORVANTIC_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${MORVANTIC_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${MORVANTIC_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${MORVANTIC_QEMU} -L /usr/${MORVANTIC_TRIPLE})
