# Signs a Windows program or package in place with osslsigncode (cmake -P): Authenticode, SHA-256, with the
# PKCS#12 certificate named by QUILLMARK_SIGNING_CERTIFICATE and the password in the environment variable
# QUILLMARK_SIGNING_PASSWORD, read by osslsigncode from its standard input: never on a command line, never in
# the build's files. A timestamp server (an RFC 3161 address) keeps the signature good after the certificate
# expires.
#
#     cmake -DFILE=quillmark.exe -DCERTIFICATE=school.p12 [-DTIMESTAMP=http://...] -P cmake/Sign.cmake
if(NOT DEFINED ENV{QUILLMARK_SIGNING_PASSWORD})
  message(FATAL_ERROR "Signing with ${CERTIFICATE}: set its password in QUILLMARK_SIGNING_PASSWORD")
endif()
find_program(OSSLSIGNCODE osslsigncode)
if(NOT OSSLSIGNCODE)
  message(FATAL_ERROR "Signing needs osslsigncode (Debian's osslsigncode)")
endif()
set(timestamp "")
if(TIMESTAMP)
  set(timestamp -ts ${TIMESTAMP})
endif()
file(REMOVE ${FILE}.signed)
execute_process(
  COMMAND sh -c "certificate=$1; shift; printf %s \"$QUILLMARK_SIGNING_PASSWORD\" |
      \"$0\" sign -pkcs12 \"$certificate\" -readpass /dev/stdin -h sha256 \"$@\""
    ${OSSLSIGNCODE} ${CERTIFICATE} ${timestamp} -in ${FILE} -out ${FILE}.signed
  OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${FILE}.signed)
  message(FATAL_ERROR "osslsigncode could not sign ${FILE}:\n${output}")
endif()
file(RENAME ${FILE}.signed ${FILE})
