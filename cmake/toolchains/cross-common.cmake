# Shared part of the cross toolchains: compilers and search roots of the
# Debian cross packages for QUARN_TARGET_TRIPLET, and qemu-user (QUARN_QEMU) to run the tests.
set(CMAKE_C_COMPILER ${QUARN_TARGET_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${QUARN_TARGET_TRIPLET}-g++)
set(QUARN_TARGET_ROOT /usr/${QUARN_TARGET_TRIPLET})
set(CMAKE_FIND_ROOT_PATH ${QUARN_TARGET_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without qemu the programs still build; only running the tests needs it.
find_program(QUARN_EMULATOR ${QUARN_QEMU})
if(QUARN_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUARN_EMULATOR} -L ${QUARN_TARGET_ROOT})
endif()
