# One headless run of the Windows ZB47 under Wine, driven by a script, whose screenshot must
# equal the Linux reference picture pixel for pixel (compared by a host tool).
# Run with cmake -P and: CASE (start_en, start_ja, menu_en), EMULATOR, PROGRAM, SONGS,
# PNG_SAME, WORK (a directory of its own), REFERENCES (tests/data/screens).

# The menu page: the first steps of the Linux menu tour (page 1 tab, the tour song dropped,
# page 0 tab, row C clicked).
if(CASE STREQUAL "start_en")
    set(locale C)
    set(script "wait 40\nscreenshot shot.png\n")
    set(song "")
    set(reference start_en.png)
elseif(CASE STREQUAL "start_ja")
    set(locale ja_JP.UTF-8)
    set(script "wait 100\nscreenshot shot.png\n")
    set(song ${WORK}/title.mid)
    set(reference start_ja.png)
elseif(CASE STREQUAL "menu_en")
    set(locale C)
    set(script "wait 60\nclick 78 320\nwait 40\ndrop ${WORK}/tour.mid\nwait 40\n"
               "click 30 320\nwait 40\nclick 150 120\nwait 60\nscreenshot shot.png\n")
    set(song "")
    set(reference menus/en_p0C.png)
else()
    message(FATAL_ERROR "unknown CASE ${CASE}")
endif()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${EMULATOR} ${SONGS} ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the songs were not written (${status})")
endif()
string(JOIN "" script_text ${script})
file(WRITE ${WORK}/script.txt "${script_text}")
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env LANG=${locale} LC_ALL=${locale}
            ${EMULATOR} ${PROGRAM} --headless --dir ${WORK} --script script.txt --log log.txt
            ${song}
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status
    ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "ZB47 ended with ${status}: ${errors}")
endif()
execute_process(COMMAND ${PNG_SAME} ${WORK}/shot.png ${REFERENCES}/${reference}
                RESULT_VARIABLE status OUTPUT_VARIABLE report)
message("${report}")
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the picture differs from ${reference}; it is in ${WORK}/shot.png")
endif()
