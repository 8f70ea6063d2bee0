# Installing: the program and its answer key stay together in a folder of their own, since the program looks for
# the key beside itself; a per-user prefix such as ~/.local makes that folder the user's to write to.
include(GNUInstallDirs)

set(QUILLMARK_SAMPLE_KEY ${PROJECT_SOURCE_DIR}/sample/答案.txt)

set(QUILLMARK_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/quillmark)
set(QUILLMARK_INSTALLED_PROGRAM ${CMAKE_INSTALL_FULL_LIBEXECDIR}/quillmark/quillmark)
# No library of ours sits beside the program; Qt's folder is named only when it is not a system one.
set_target_properties(quillmark PROPERTIES INSTALL_RPATH "" INSTALL_RPATH_USE_LINK_PATH ON)
install(TARGETS quillmark RUNTIME DESTINATION ${QUILLMARK_PROGRAM_DIR})

# `quillmark` on the PATH: a link to the program, which still finds its key in its own folder.
cmake_path(RELATIVE_PATH QUILLMARK_INSTALLED_PROGRAM BASE_DIRECTORY ${CMAKE_INSTALL_FULL_BINDIR}
  OUTPUT_VARIABLE quillmark_link_target)
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin}\")
  file(CREATE_LINK \"${quillmark_link_target}\" \"\${bin}/quillmark\" SYMBOLIC)
  message(STATUS \"Linking: \${bin}/quillmark\")
")

configure_file(${PROJECT_SOURCE_DIR}/assets/quillmark.desktop.in
  ${PROJECT_BINARY_DIR}/${QUILLMARK_APP_ID}.desktop @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/assets/quillmark.metainfo.xml.in
  ${PROJECT_BINARY_DIR}/${QUILLMARK_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${QUILLMARK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/${QUILLMARK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/quillmark-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${QUILLMARK_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/quillmark.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${QUILLMARK_APP_ID}.svg)

# The Debian package keeps the key in /etc instead, linked from beside the program.
option(QUILLMARK_DEB "Install as the Debian package lays the program out (the deb preset)" OFF)
if(QUILLMARK_DEB)
  include(${CMAKE_CURRENT_LIST_DIR}/Debian.cmake)
  return()
endif()

# The sample key, only where the user has no key yet.
install(CODE "
  set(folder \"\${CMAKE_INSTALL_PREFIX}/${QUILLMARK_PROGRAM_DIR}\")
  if(NOT EXISTS \"\$ENV{DESTDIR}\${folder}/答案.txt\")
    file(INSTALL DESTINATION \"\${folder}\" TYPE FILE FILES \"${QUILLMARK_SAMPLE_KEY}\")
  else()
    message(STATUS \"Keeping: \$ENV{DESTDIR}\${folder}/答案.txt\")
  endif()
")
