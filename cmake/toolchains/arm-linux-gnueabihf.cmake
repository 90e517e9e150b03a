# Cross build for arm-linux-gnueabihf with Debian's cross compiler; tests run under qemu-arm
# with the target's library root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(QUARN_TARGET_TRIPLET arm-linux-gnueabihf)
set(QUARN_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
