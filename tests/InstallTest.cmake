# Stages an install into a scratch prefix and checks it as a desktop would see it: the launcher and the AppStream
# metadata validate, their ids, icons and paths agree, the program's folder holds its key, and a second install
# keeps a key the user edited. Run with -DBUILD=<build folder> -DWORK=<scratch folder> -DAPP_ID=<id>.
function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "${ARGV} failed:\n${out}")
  endif()
endfunction()

function(expect condition message)
  if(NOT ${condition})
    message(FATAL_ERROR "${message}")
  endif()
endfunction()

set(prefix "${WORK}/prefix")
file(REMOVE_RECURSE "${WORK}")
run(${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}")

set(desktop "${prefix}/share/applications/${APP_ID}.desktop")
run(desktop-file-validate "${desktop}")
run(appstreamcli validate-tree --no-net "${prefix}")

foreach(icon 16x16/apps/${APP_ID}.png 32x32/apps/${APP_ID}.png 48x48/apps/${APP_ID}.png scalable/apps/${APP_ID}.svg)
  expect("EXISTS;${prefix}/share/icons/hicolor/${icon}" "icon ${icon} missing")
endforeach()
file(READ "${desktop}" entry)
expect("entry;MATCHES;\nIcon=${APP_ID}\n" "the launcher names another icon")
# Qt 6.4 on X11 names the window only by its WM_CLASS, the program's name: the launcher must claim it.
expect("entry;MATCHES;\nStartupWMClass=quillmark\n" "the launcher does not claim the window's class")
file(READ "${prefix}/share/metainfo/${APP_ID}.metainfo.xml" metainfo)
expect("metainfo;MATCHES;<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
  "the metadata launches another desktop id")

set(folder "${prefix}/libexec/quillmark")
expect("EXISTS;${folder}/quillmark" "the program is not in its folder")
expect("EXISTS;${folder}/答案.txt" "the sample key is not beside the program")
file(REAL_PATH "${prefix}/bin/quillmark" linked)
file(REAL_PATH "${folder}/quillmark" program)
expect("linked;STREQUAL;${program}" "bin/quillmark does not lead to the program")

file(WRITE "${folder}/答案.txt" "my key\n")
run(${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}")
file(READ "${folder}/答案.txt" kept)
expect("kept;STREQUAL;my key\n" "a second install replaced the user's key")
