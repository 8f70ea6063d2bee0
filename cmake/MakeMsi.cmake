# Makes the Windows Installer package (cmake -P, from the msi target of cmake/Msi.cmake): wixl builds it from
# assets/quillmark.wxs, then msibuild finishes what wixl 0.101 cannot write:
# - the Chinese names of the key and the guide, which wixl writes empty (and Windows Installer then fails on):
#   the database's code page set to 936 first, then the names set in it, each with an 8.3 name beside it;
# - the key never overwritten once it is there (msidbComponentAttributesNeverOverwrite), so that an upgrade,
#   a repair or a reinstall keeps the teacher's edit;
# - an older package removed after the new one is in place (RemoveExistingProducts after InstallFinalize): the
#   key, one component in both, is then still in use, and stays;
# - a package of the same version for the other processor replaced too (its Upgrade row's maximum inclusive);
# - the program's file version, so that Windows Installer compares versions, not dates.
# - the summary's package code (wixl makes a new one each time) and its languages (wixl writes 1033).
# Identifiers: the ProductCode from the version and the processor, the same for every build of them; the
# package code from the files inside, the same for the same files. The summary's dates, which wixl 0.101 writes
# as the time it runs (it does not read SOURCE_DATE_EPOCH) and msibuild keeps, are then set to SOURCE_DATE
# (tools/msi-dates.py), so that the same files make the same bytes.
foreach(variable WIXL MSIBUILD WXS OUTPUT ARCH VERSION FILE_VERSION PROGRAM KEY GUIDE ICON HOMEPAGE UPGRADE_CODE
    SOURCE_DATE)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "MakeMsi.cmake needs -D${variable}=")
  endif()
endforeach()

if(ARCH STREQUAL "x64")
  set(bits 64)
  set(win64 yes)
  set(folder ProgramFiles64Folder)
  set(key_attributes 384) # 64-bit component, never overwritten
else()
  set(bits 32)
  set(win64 no)
  set(folder ProgramFilesFolder)
  set(key_attributes 128)
endif()

set(identity "")
set(bytes 0)
foreach(file ${PROGRAM} ${KEY} ${GUIDE} ${ICON} ${WXS})
  file(SHA256 ${file} hash)
  file(SIZE ${file} size)
  string(APPEND identity "${hash} ")
  if(NOT file STREQUAL WXS)
    math(EXPR bytes "${bytes} + ${size}")
  endif()
endforeach()
math(EXPR size_kb "(${bytes} + 1023) / 1024")
string(UUID product_code NAMESPACE ${UPGRADE_CODE} NAME "product ${VERSION} ${ARCH}" TYPE SHA1 UPPER)
string(UUID package_code NAMESPACE ${UPGRADE_CODE} NAME "package ${VERSION} ${ARCH} ${identity}" TYPE SHA1 UPPER)
foreach(component Program Guide Key)
  string(UUID ${component} NAMESPACE ${UPGRADE_CODE} NAME "component ${component} ${ARCH}" TYPE SHA1 UPPER)
endforeach()
string(UUID shortcut NAMESPACE ${UPGRADE_CODE} NAME "component Shortcut" TYPE SHA1 UPPER)

set(work ${OUTPUT}.work)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
# wixl takes its files by names relative to the source file's folder, read in the locale's character set (which
# may have no Chinese): they are copied beside it under ASCII names. The cabinet records each file's time:
# the source's time (SOURCE_DATE).
foreach(pair "${WXS}|quillmark.wxs" "${PROGRAM}|quillmark.exe" "${KEY}|key.txt" "${GUIDE}|guide.html"
    "${ICON}|quillmark.ico")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 name)
  get_filename_component(original ${source} NAME)
  file(COPY ${source} DESTINATION ${work}/copied)
  file(RENAME ${work}/copied/${original} ${work}/${name})
  if(SOURCE_DATE)
    execute_process(COMMAND touch -d @${SOURCE_DATE} ${work}/${name} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
execute_process(
  COMMAND ${WIXL} --arch ${ARCH} -o package.msi
    -D Version=${VERSION} -D Bits=${bits} -D Win64=${win64} -D ProgramFilesFolder=${folder}
    -D ProductCode=${product_code} -D PackageCode=${package_code} -D UpgradeCode=${UPGRADE_CODE}
    -D ProgramComponent=${Program} -D GuideComponent=${Guide} -D KeyComponent=${Key} -D ShortcutComponent=${shortcut}
    -D Homepage=${HOMEPAGE} -D SizeKB=${size_kb}
    quillmark.wxs
  WORKING_DIRECTORY ${work}
  COMMAND_ERROR_IS_FATAL ANY)
# msibuild imports a table from the file of its name, in the folder it runs in.
file(WRITE ${work}/_ForceCodepage.idt "\r\n\r\n936\t_ForceCodepage\r\n")
if(ARCH STREQUAL "x64")
  set(template "x64;2052")
else()
  set(template "Intel;2052")
endif()
execute_process(
  COMMAND ${MSIBUILD} package.msi -i _ForceCodepage.idt
    -q "UPDATE `File` SET `FileName` = 'KEY.TXT|答案.txt' WHERE `File` = 'key'"
    -q "UPDATE `File` SET `FileName` = 'GUIDE.HTM|使用说明.html' WHERE `File` = 'guide'"
    -q "UPDATE `File` SET `Version` = '${FILE_VERSION}' WHERE `File` = 'quillmark.exe'"
    -q "UPDATE `Component` SET `Attributes` = ${key_attributes} WHERE `Component` = 'Key'"
    -q "UPDATE `InstallExecuteSequence` SET `Sequence` = 6601 WHERE `Action` = 'RemoveExistingProducts'"
    -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'"
    -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('{${UPGRADE_CODE}}', '${VERSION}', 513, 'WIX_UPGRADE_DETECTED')"
  WORKING_DIRECTORY ${work}
  COMMAND_ERROR_IS_FATAL ANY)
# A second run: one execute_process runs its commands at once, as a pipeline.
execute_process(
  COMMAND ${MSIBUILD} package.msi -s Quillmark "Quillmark developers" "${template}" {${package_code}}
  WORKING_DIRECTORY ${work}
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/../tools/msi-dates.py package.msi ${SOURCE_DATE}
  WORKING_DIRECTORY ${work}
  COMMAND_ERROR_IS_FATAL ANY)
if(CERTIFICATE)
  execute_process(COMMAND ${CMAKE_COMMAND} -DFILE=${work}/package.msi -DCERTIFICATE=${CERTIFICATE}
    -DTIMESTAMP=${TIMESTAMP} -P ${CMAKE_CURRENT_LIST_DIR}/Sign.cmake COMMAND_ERROR_IS_FATAL ANY)
endif()
file(RENAME ${work}/package.msi ${OUTPUT})
file(REMOVE_RECURSE ${work})
