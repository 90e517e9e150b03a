# Cross build for mipsel-linux-gnu with Debian's cross compiler; tests run under qemu-mipsel
# with the target's library root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR mipsel)
set(QUARN_TARGET_TRIPLET mipsel-linux-gnu)
set(QUARN_QEMU qemu-mipsel)
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
