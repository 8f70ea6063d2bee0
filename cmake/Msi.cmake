# The Windows Installer package, `cmake --build <build> --target msi`: quillmark-<version>-win64.msi or
# -win32.msi beside the archive, made by cmake/MakeMsi.cmake with msitools' wixl and msibuild (Debian's wixl and
# msitools). One UpgradeCode for every Quillmark package, 32-bit and 64-bit: a PC holds one Quillmark.
#
# QUILLMARK_SIGNING_CERTIFICATE names a PKCS#12 code-signing certificate: the program in the archive and the
# package, and the package, are then signed with it (cmake/Sign.cmake; its password from the environment).
set(QUILLMARK_SIGNING_CERTIFICATE "" CACHE FILEPATH
  "A PKCS#12 code-signing certificate to sign the program and the package with (its password in the environment variable QUILLMARK_SIGNING_PASSWORD); unsigned when empty")
set(QUILLMARK_TIMESTAMP_URL "" CACHE STRING "An RFC 3161 timestamp server for the signatures, or none")

# The program handed out: the one built, or a signed copy of it.
set(QUILLMARK_SHIPPED_PROGRAM $<TARGET_FILE:quillmark>)
if(QUILLMARK_SIGNING_CERTIFICATE)
  set(QUILLMARK_SHIPPED_PROGRAM ${PROJECT_BINARY_DIR}/signed/quillmark.exe)
  add_custom_command(OUTPUT ${QUILLMARK_SHIPPED_PROGRAM}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quillmark> ${QUILLMARK_SHIPPED_PROGRAM}
    COMMAND ${CMAKE_COMMAND} -DFILE=${QUILLMARK_SHIPPED_PROGRAM} -DCERTIFICATE=${QUILLMARK_SIGNING_CERTIFICATE}
            -DTIMESTAMP=${QUILLMARK_TIMESTAMP_URL} -P ${PROJECT_SOURCE_DIR}/cmake/Sign.cmake
    DEPENDS quillmark ${QUILLMARK_SIGNING_CERTIFICATE} ${PROJECT_SOURCE_DIR}/cmake/Sign.cmake
    COMMENT "Signing quillmark.exe with ${QUILLMARK_SIGNING_CERTIFICATE}"
    VERBATIM)
  add_custom_target(quillmark_signed ALL DEPENDS ${QUILLMARK_SHIPPED_PROGRAM})
endif()

find_program(WIXL wixl)
find_program(MSIBUILD msibuild)
if(NOT WIXL OR NOT MSIBUILD)
  message(STATUS "No wixl and msibuild (Debian's wixl and msitools): no Windows Installer package")
  return()
endif()
set(arch x64)
if(QUILLMARK_ARCHIVE_KIND STREQUAL "win32")
  set(arch x86)
endif()
math(EXPR minor "${PROJECT_VERSION_MINOR}") # "00" in the version, 0 in a file's version
set(QUILLMARK_MSI ${PROJECT_BINARY_DIR}/${PROJECT_NAME}-${PROJECT_VERSION}-${QUILLMARK_ARCHIVE_KIND}.msi)
add_custom_command(OUTPUT ${QUILLMARK_MSI}
  COMMAND ${CMAKE_COMMAND} -DWIXL=${WIXL} -DMSIBUILD=${MSIBUILD} -DWXS=${PROJECT_SOURCE_DIR}/assets/quillmark.wxs
          -DOUTPUT=${QUILLMARK_MSI} -DARCH=${arch} -DVERSION=${PROJECT_VERSION}
          -DFILE_VERSION=${PROJECT_VERSION_MAJOR}.${minor}.0.0
          -DPROGRAM=${QUILLMARK_SHIPPED_PROGRAM} -DKEY=${PROJECT_SOURCE_DIR}/sample/答案.txt -DGUIDE=${QUILLMARK_GUIDE}
          -DICON=${PROJECT_SOURCE_DIR}/assets/quillmark.ico -DHOMEPAGE=${QUILLMARK_HOMEPAGE}
          -DUPGRADE_CODE=6B1A4F0E-4C4E-4C7A-9A4E-6F1D2A7E9C01 -DSOURCE_DATE=${QUILLMARK_SOURCE_DATE_EPOCH}
          -DCERTIFICATE=${QUILLMARK_SIGNING_CERTIFICATE}
          -DTIMESTAMP=${QUILLMARK_TIMESTAMP_URL} -P ${PROJECT_SOURCE_DIR}/cmake/MakeMsi.cmake
  DEPENDS quillmark ${QUILLMARK_SHIPPED_PROGRAM} ${QUILLMARK_GUIDE} ${PROJECT_SOURCE_DIR}/sample/答案.txt
          ${PROJECT_SOURCE_DIR}/assets/quillmark.wxs ${PROJECT_SOURCE_DIR}/assets/quillmark.ico
          ${PROJECT_SOURCE_DIR}/cmake/MakeMsi.cmake ${PROJECT_SOURCE_DIR}/tools/msi-dates.py
          ${QUILLMARK_SIGNING_CERTIFICATE}
  COMMENT "Making the Windows Installer package ${PROJECT_NAME}-${PROJECT_VERSION}-${QUILLMARK_ARCHIVE_KIND}.msi"
  VERBATIM)
add_custom_target(msi DEPENDS ${QUILLMARK_MSI})
