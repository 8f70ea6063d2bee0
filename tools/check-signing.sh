#!/bin/sh
# Signs as a school would, with a throwaway code-signing certificate made here (openssl): a build of the
# windows32 preset in build/windows32-signed, given the certificate through QUILLMARK_SIGNING_CERTIFICATE and
# its password through the environment, signs the program in its archive and its Windows Installer package;
# osslsigncode then verifies both signatures against that certificate.
#
#     sh tools/check-signing.sh
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build=build/windows32-signed
QUILLMARK_SIGNING_PASSWORD=$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')
export QUILLMARK_SIGNING_PASSWORD
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Quillmark test signing" \
    -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
    -keyout "$work/key.pem" -out "$work/certificate.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/certificate.pem" -out "$work/certificate.p12" \
    -passout env:QUILLMARK_SIGNING_PASSWORD
cmake --preset windows32 -B "$build" -DQUILLMARK_SIGNING_CERTIFICATE="$work/certificate.p12" >/dev/null
cmake --build "$build" --target msi
cmake --build "$build" --target package >/dev/null
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extract("quillmark.exe", sys.argv[2])' \
    "$build/quillmark-1.00-win32.zip" "$work"
for file in "$work/quillmark.exe" "$build/quillmark-1.00-win32.msi"; do
    echo "== osslsigncode verify ${file#"$work"/}"
    osslsigncode verify -CAfile "$work/certificate.pem" -in "$file" >"$work/verify.log" 2>&1 ||
        { cat "$work/verify.log"; echo "The signature of $file does not verify"; exit 1; }
    grep -E "Message digest algorithm|Signer's certificate|Subject:|Signature verification" "$work/verify.log" | sort -u
done
# The password was never on a command line nor in the build's files.
if grep -r -l -F "$QUILLMARK_SIGNING_PASSWORD" "$build" >/dev/null 2>&1; then
    echo "The signing password is in $build"
    exit 1
fi
# Unsigned by default: the windows32 build's own program carries no signature.
if osslsigncode verify -in build/windows32/src/quillmark.exe >/dev/null 2>&1; then
    echo "build/windows32/src/quillmark.exe is signed, which no build is unless asked"
    exit 1
fi
echo "The program and the package were signed with the given certificate and verify"
