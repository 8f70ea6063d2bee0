# The Debian package, quillmark_<version>-1_<arch>.deb, for Debian 12, Ubuntu 24.04 and their kin, made by
# `cmake --build --preset deb --target package`: the source install's files under /usr, a manual page, and the
# answer key as a configuration file, /etc/quillmark/答案.txt, which the file beside the program links to. The
# program still reads the key beside it; an administrator edits it in /etc, dpkg keeps that edit over upgrades and
# reinstalls, and a purge removes it. Included by cmake/Install.cmake in place of its sample key.
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "The Debian package installs under /usr: configure it with the deb preset")
endif()
find_program(QUILLMARK_GZIP gzip REQUIRED)

set(debian ${PROJECT_BINARY_DIR}/debian)
set(key ${CMAKE_INSTALL_FULL_SYSCONFDIR}/quillmark/答案.txt)
# The sample key as an editor on Linux opens it, in UTF-8 with LF line ends: the program reads either.
find_program(QUILLMARK_ICONV iconv REQUIRED)
execute_process(COMMAND ${QUILLMARK_ICONV} -f GBK -t UTF-8 ${QUILLMARK_SAMPLE_KEY}
  OUTPUT_VARIABLE sample COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\r\n" "\n" sample "${sample}")
file(WRITE ${debian}/答案.txt "${sample}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUILLMARK_SAMPLE_KEY})
install(FILES ${debian}/答案.txt DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/quillmark)
install(CODE "
  file(CREATE_LINK \"${key}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUILLMARK_PROGRAM_DIR}/答案.txt\" SYMBOLIC)
")
file(WRITE ${debian}/conffiles "${key}\n")

# Debian's documents: the copyright (the license the AppStream metadata names), the package's changelog and the
# manual page, compressed as dpkg expects.
set(maintainer "Quillmark developers <developers@quillmark.example>")
file(WRITE ${debian}/copyright "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Quillmark
Source: ${QUILLMARK_HOMEPAGE}

Files: *
Copyright: 2026 Quillmark developers
License: proprietary
 All rights reserved.
")
file(WRITE ${debian}/changelog.Debian "\
quillmark (${PROJECT_VERSION}-1) unstable; urgency=medium

  * The first Debian package.

 -- ${maintainer}  Mon, 07 Dec 2026 00:00:00 +0000
")
# lintian's own exceptions, each with its reason.
file(WRITE ${debian}/lintian-overrides "\
# A package of our own, not uploaded to Debian: there is no bug asking for it to close.
quillmark: initial-upload-closes-no-bugs
# lintian 2.116 compares the package's file names, as bytes, with the conffiles' names, read as UTF-8: a conffile
# named in Chinese looks both unmarked and missing to it. dpkg handles it as the conffile it is.
quillmark: file-in-etc-not-marked-as-conffile [etc/quillmark/*.txt]
quillmark: missing-conffile etc/quillmark/答案.txt [conffiles:1]
")
configure_file(${PROJECT_SOURCE_DIR}/assets/quillmark.1 ${debian}/quillmark.1 COPYONLY)
add_custom_command(OUTPUT ${debian}/changelog.Debian.gz ${debian}/quillmark.1.gz
  COMMAND ${QUILLMARK_GZIP} -9nkf ${debian}/changelog.Debian ${debian}/quillmark.1
  DEPENDS ${debian}/changelog.Debian ${debian}/quillmark.1
  VERBATIM)
add_custom_target(quillmark_debian_documents ALL DEPENDS ${debian}/changelog.Debian.gz ${debian}/quillmark.1.gz)
install(FILES ${debian}/copyright ${debian}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${debian}/quillmark.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${debian}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quillmark)

set(CPACK_GENERATOR DEB)
# DESTDIR staging, so that /etc lands in the package and not on this machine.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${maintainer})
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLMARK_HOMEPAGE})
# The libraries' packages from dpkg-shlibdeps, and the Song face the window is laid out for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-arphic-uming)
# Qt's own Wayland platform where the desktop is a Wayland session, as most are; without it Qt goes through
# XWayland, which works, but scales the window as a picture on screens of high density.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "answer sheet with a clock for practising timed written tests")
set(CPACK_PACKAGE_DESCRIPTION "\
Quillmark (答题卡, answer sheet) is an on-screen answer sheet with a clock, for
practising timed written tests such as multiple-choice papers. Set the number
of questions and the minutes, lay out one numbered answer box per question and
start the exam: a red bar across the top shrinks and shows the time left. Hand
in, or let the time run out, and ask for the result: correct boxes turn green,
the score counts them and the answer key is shown.

The key is a plain text file, /etc/quillmark/答案.txt, read when the program
starts. Its interface is in Chinese.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${debian}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
