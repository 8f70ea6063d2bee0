# Run by cpack on both sides of packing, so that the build's umask (077, say) leaves no trace in a package:
# - once the files are staged: every folder and every program 0755, every other file 0644, as a umask of 022
#   would leave them; the archives keep the staged modes, and a package whose folders only root may open would
#   install a program no user can start;
# - once a Debian package is made: its three members 0644 in the package's own (ar) headers, where CPack's DEB
#   generator writes the modes its temporary files were created with.
if(NOT DEFINED CPACK_PACKAGE_FILES)
  file(GLOB_RECURSE staged LIST_DIRECTORIES true ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*)
  foreach(path IN LISTS staged)
    if(IS_SYMLINK ${path})
      continue()
    endif()
    # The owner's execute bit is the build's own: no umask takes it away.
    execute_process(COMMAND test -d ${path} -o -x ${path} RESULT_VARIABLE plain)
    if(plain)
      file(CHMOD ${path} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    else()
      file(CHMOD ${path} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
        WORLD_EXECUTE)
    endif()
  endforeach()
  return()
endif()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  # "!<arch>\n", then each member: a 60-byte header (its name, time, owner, group, mode in octal at byte 40, and
  # size at byte 48), its bytes, and one byte more where the size is odd.
  file(SIZE ${package} size)
  set(at 8)
  while(at LESS size)
    file(READ ${package} header OFFSET ${at} LIMIT 60)
    string(SUBSTRING "${header}" 48 10 member_size)
    string(STRIP "${member_size}" member_size)
    math(EXPR mode_at "${at} + 40")
    execute_process(COMMAND sh -c "printf '100644  ' | dd of=\"$0\" bs=1 seek=$1 conv=notrunc status=none"
      ${package} ${mode_at} COMMAND_ERROR_IS_FATAL ANY)
    math(EXPR at "${at} + 60 + ${member_size} + ${member_size} % 2")
  endwhile()
endforeach()
