# Cross build for powerpc-linux-gnu with Debian's cross compiler; tests run under qemu-user
# emulation with the target's library root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR powerpc)
set(QUARN_TARGET_TRIPLET powerpc-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
# Without qemu the programs still build; only running the tests needs it.
find_program(QUARN_EMULATOR qemu-ppc)
if(QUARN_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUARN_EMULATOR} -L ${QUARN_TARGET_ROOT})
endif()
