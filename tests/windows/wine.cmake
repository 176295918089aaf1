# Windows test programs run under Wine (the build's cross-compiling emulator) in a private
# prefix inside the build directory, made once by a set-up test before the first of them.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(ZB_WINE wine REQUIRED)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZB_WINE})
endif()
set(ZB_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
# A Windows program reads the Unix paths through Wine's drive Z:, the whole file system.
set(ZB_WINE_ENVIRONMENT "WINEPREFIX=${ZB_WINE_PREFIX}" "WINEDEBUG=-all"
    "ZB_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data")

add_test(NAME wine_prefix
         COMMAND ${CMAKE_COMMAND} -E env ${ZB_WINE_ENVIRONMENT} ${CMAKE_CROSSCOMPILING_EMULATOR}
                 wineboot -i)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)

# add_test for a Windows program target: the emulator comes in front of it by itself.
function(zb_add_wine_test name target)
    add_test(NAME ${name} COMMAND ${target} ${ARGN} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ZB_WINE_ENVIRONMENT}"
                                            FIXTURES_REQUIRED wine TIMEOUT 900)
endfunction()
