# The build puts the sample key beside the program only where no key is: a user's own key is never replaced.
# Run with -DSCRIPT=<PlaceSampleKey.cmake> -DSOURCE=<sample key> -DWORK=<scratch folder>.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
cmake_path(GET SOURCE FILENAME name)

execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${SOURCE} -DDESTINATION=${WORK} -P ${SCRIPT} RESULT_VARIABLE failed)
file(READ "${SOURCE}" sample HEX)
file(READ "${WORK}/${name}" placed HEX)
if(failed OR NOT placed STREQUAL sample)
  message(FATAL_ERROR "the sample key was not placed where none was")
endif()

file(WRITE "${WORK}/${name}" "my own key\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE=${SOURCE} -DDESTINATION=${WORK} -P ${SCRIPT} RESULT_VARIABLE failed)
file(READ "${WORK}/${name}" kept)
if(failed OR NOT kept STREQUAL "my own key\n")
  message(FATAL_ERROR "the user's key was replaced")
endif()
