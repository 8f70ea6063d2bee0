# Puts the sample answer key beside the program unless a key is already there: the user's own key is never
# overwritten. Run with -DSOURCE=<sample key> -DDESTINATION=<folder of the program>.
cmake_path(GET SOURCE FILENAME name)
if(NOT EXISTS "${DESTINATION}/${name}")
  file(COPY_FILE "${SOURCE}" "${DESTINATION}/${name}")
endif()
