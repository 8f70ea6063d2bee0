# The one time every download carries (its archive's members, the package's files, the Windows program's header),
# as SOURCE_DATE_EPOCH, seconds since 1970 in UTC, so that two builds of the same source give the same bytes:
# - the caller's SOURCE_DATE_EPOCH, when it is set;
# - else the last commit's time, in a git checkout;
# - else, in a tree without git (an unpacked archive), the newest modification time of its sources: `git archive`
#   gives every file the commit's time, and tar keeps it on unpacking, so that is the commit's time again.
# Included by CMakeLists.txt, it sets QUILLMARK_SOURCE_DATE_EPOCH and says where the time came from; a commit
# configures the build again. `cmake -P cmake/SourceDate.cmake` prints the time.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH root)
unset(QUILLMARK_SOURCE_DATE_EPOCH)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"$ENV{SOURCE_DATE_EPOCH}\", not a number of seconds")
  endif()
  set(QUILLMARK_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
  set(from "the caller's SOURCE_DATE_EPOCH")
else()
  find_program(QUILLMARK_GIT git)
  if(QUILLMARK_GIT)
    # Only this tree's own repository: a tree copied into another checkout's folder is not that checkout's.
    execute_process(COMMAND ${QUILLMARK_GIT} rev-parse --show-toplevel WORKING_DIRECTORY ${root}
      OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
    file(REAL_PATH "${root}" real_root)
    if(NOT failed AND top STREQUAL real_root)
      execute_process(COMMAND ${QUILLMARK_GIT} log -1 --format=%ct WORKING_DIRECTORY ${root}
        OUTPUT_VARIABLE QUILLMARK_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      set(from "the last commit's time")
      execute_process(COMMAND ${QUILLMARK_GIT} rev-parse --path-format=absolute --git-path logs/HEAD
        WORKING_DIRECTORY ${root} OUTPUT_VARIABLE head_log OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      if(NOT CMAKE_SCRIPT_MODE_FILE AND EXISTS "${head_log}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${head_log})
      endif()
    endif()
  endif()
  if(NOT QUILLMARK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    file(GLOB_RECURSE sources LIST_DIRECTORIES false ${root}/CMakeLists.txt ${root}/CMakePresets.json
      ${root}/cmake/* ${root}/src/* ${root}/assets/* ${root}/sample/* ${root}/docs/* ${root}/tools/*)
    set(QUILLMARK_SOURCE_DATE_EPOCH 0)
    foreach(source IN LISTS sources)
      file(TIMESTAMP ${source} time "%s" UTC)
      if(time GREATER QUILLMARK_SOURCE_DATE_EPOCH)
        set(QUILLMARK_SOURCE_DATE_EPOCH ${time})
      endif()
    endforeach()
    set(from "no git: the newest time among the source files")
  endif()
endif()

if(CMAKE_SCRIPT_MODE_FILE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${QUILLMARK_SOURCE_DATE_EPOCH})
else()
  message(STATUS "SOURCE_DATE_EPOCH: ${QUILLMARK_SOURCE_DATE_EPOCH}, ${from}")
endif()
