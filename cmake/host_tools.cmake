# In a cross build the generators must run on the build machine: tools/host is configured and
# built as a separate project with the host's own compiler (no toolchain file is passed on).
include(ExternalProject)

set(ZB_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(ZB_HOST_FONT_TABLE_GEN ${ZB_HOST_TOOLS_DIR}/font_table_gen)
set(ZB_HOST_PNG_SAME ${ZB_HOST_TOOLS_DIR}/png_same)
ExternalProject_Add(zb_host_tools
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/host
    BINARY_DIR ${ZB_HOST_TOOLS_DIR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${ZB_HOST_FONT_TABLE_GEN} ${ZB_HOST_PNG_SAME})
