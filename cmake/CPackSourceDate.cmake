# Read by cpack before it makes each package: the build's time, which CPack's DEB generator sets on every file,
# on the package's members and in its compressed headers, whatever time the caller's environment says.
set(ENV{SOURCE_DATE_EPOCH} "${CPACK_QUILLMARK_SOURCE_DATE_EPOCH}")
