# The archives to hand out, `cmake --build <build> --target package`, each unzipped as the folder it is:
# - Windows: quillmark-<version>-win64.zip (-win32.zip for the 32-bit program), holding quillmark.exe, the sample key as Notepad saves it on a Chinese
#   Windows (GBK, CR LF: the repository keeps those bytes) and the users' guide as one HTML page with its
#   pictures inside;
# - the web: quillmark-<version>-web.zip, the site folder as it is served: the page, its style sheet, the
#   program, the icon and the sample key.
#
# Explorer, 7-Zip, WinRAR and Bandizip read a name as UTF-8 only when its entry carries the UTF-8 flag (bit 11);
# without it they read 答案.txt in the code page, as mojibake that the program would not find. CPack's own ZIP
# (libarchive) sets that flag only when cpack runs in a UTF-8 locale: in the C locale it fails on these names,
# in a GBK one it leaves them unflagged. So CPack stages the files, and this file, run by cpack as its External
# generator's script, writes the archive with Python's zipfile, flagging every entry.

# Run by cpack, with its staged files: the archive.
if(CPACK_TEMPORARY_DIRECTORY)
  file(GLOB files RELATIVE ${CPACK_TEMPORARY_DIRECTORY} ${CPACK_TEMPORARY_DIRECTORY}/*)
  list(SORT files)
  set(archive ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip)
  # -X utf8: the staged names are UTF-8 bytes whatever the locale. Each entry is dated with the source's time (in
  # UTC: a zip's times have no zone; none before 1980, which they cannot hold), not the file's, and keeps the mode
  # cpack staged it with (cmake/CPackModes.cmake).
  execute_process(
    COMMAND ${CPACK_QUILLMARK_PYTHON} -X utf8 -c [[
import sys, time, zipfile
class Entry(zipfile.ZipInfo):  # zipfile flags only the names that are not ASCII: every one, here
    def _encodeFilenameFlags(self):
        return self.filename.encode("utf-8"), self.flag_bits | 0x800
date = time.gmtime(max(int(sys.argv[2]), 315532800))[:6]
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for name in sys.argv[3:]:
        entry = Entry.from_file(name)
        entry.date_time = date
        with open(name, "rb") as file:
            archive.writestr(entry, file.read(), zipfile.ZIP_DEFLATED, 9)
]] ${archive} ${CPACK_QUILLMARK_SOURCE_DATE_EPOCH} ${files}
    WORKING_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY}
    COMMAND_ERROR_IS_FATAL ANY)
  set(CPACK_EXTERNAL_BUILT_PACKAGES ${archive})
  return()
endif()

find_package(Python3 3.8 COMPONENTS Interpreter)
if(NOT Python3_Interpreter_FOUND)
  message(STATUS "No Python 3: no users' guide and no archive")
  return()
endif()

if(QUILLMARK_VIEW STREQUAL "win32")
  # The guide, made from its Markdown at build time.
  set(QUILLMARK_GUIDE ${PROJECT_BINARY_DIR}/使用说明.html)
  file(GLOB QUILLMARK_GUIDE_PICTURES ${PROJECT_SOURCE_DIR}/docs/*.png)
  add_custom_command(OUTPUT ${QUILLMARK_GUIDE}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/make-guide.py ${PROJECT_SOURCE_DIR}/docs/使用说明.md
            ${QUILLMARK_GUIDE}
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/make-guide.py ${PROJECT_SOURCE_DIR}/docs/使用说明.md
            ${QUILLMARK_GUIDE_PICTURES}
    COMMENT "Making the users' guide 使用说明.html"
    VERBATIM)
  add_custom_target(quillmark_guide ALL DEPENDS ${QUILLMARK_GUIDE})
  set(QUILLMARK_ARCHIVE_KIND win64)
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(QUILLMARK_ARCHIVE_KIND win32)
  endif()
  # The Windows Installer package, and the program signed where a certificate is given.
  include(${CMAKE_CURRENT_LIST_DIR}/Msi.cmake)
  if(QUILLMARK_SIGNING_CERTIFICATE)
    install(PROGRAMS ${QUILLMARK_SHIPPED_PROGRAM} DESTINATION .)
  else()
    install(TARGETS quillmark RUNTIME DESTINATION .)
  endif()
  install(FILES ${QUILLMARK_GUIDE} DESTINATION .)
else()
  install(FILES ${QUILLMARK_SITE}/index.html ${QUILLMARK_SITE}/quillmark.css ${QUILLMARK_SITE}/quillmark.js
    ${QUILLMARK_SITE}/quillmark.wasm ${QUILLMARK_SITE}/quillmark.wasm.js ${QUILLMARK_SITE}/quillmark.ico DESTINATION .)
  set(QUILLMARK_ARCHIVE_KIND web)
endif()
# The sample key only where the user has no key yet.
install(CODE "
  set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  if(NOT EXISTS \"\${folder}/答案.txt\")
    file(INSTALL DESTINATION \"\${folder}\" TYPE FILE FILES \"${PROJECT_SOURCE_DIR}/sample/答案.txt\")
  else()
    message(STATUS \"Keeping: \${folder}/答案.txt\")
  endif()
")

set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_FILE})
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-${QUILLMARK_ARCHIVE_KIND})
set(CPACK_PACKAGING_INSTALL_PREFIX "")
set(CPACK_QUILLMARK_PYTHON ${Python3_EXECUTABLE})
include(CPack)
