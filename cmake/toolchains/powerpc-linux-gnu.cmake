# Cross build for powerpc-linux-gnu with Debian's cross compiler; tests run under qemu-ppc
# with the target's library root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR powerpc)
set(QUARN_TARGET_TRIPLET powerpc-linux-gnu)
set(QUARN_QEMU qemu-ppc)
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
