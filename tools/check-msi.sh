#!/bin/sh
# Checks the Windows Installer packages under Wine's msiexec, as IT deploys them, silently (/qn), in the Wine
# prefix of tools/wine.sh, after the msi targets of the windows and windows32 presets:
# - the 32-bit package installs into Program Files (x86)\Quillmark, the program its build made;
# - the 64-bit package then installs into Program Files\Quillmark and removes the 32-bit one (one Quillmark a
#   PC): the program, 答案.txt (the sample key's bytes) and 使用说明.html; the Start menu's shortcut; the entry
#   in Programs and Features with its name, version, publisher, icon and size;
# - the teacher's edit of the key is kept by a repair that reinstalls every file, and by an upgrade to a
#   package of a higher version, made here as the build makes it; the program started from Program Files then
#   reads the edited key (tools/run-probe.sh);
# - a silent uninstall leaves nothing: no folder, no key (edited or not), no shortcut, no entry.
#
#     sh tools/wine.sh sh tools/check-msi.sh
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Wine's menu builder would copy the shortcut into this machine's own menus.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
drive="$WINEPREFIX/drive_c"
programs="$drive/Program Files/Quillmark"
programs32="$drive/Program Files (x86)/Quillmark"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
package64=build/windows/quillmark-1.00-win64.msi
package32=build/windows32/quillmark-1.00-win32.msi
failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}
property() { # package name
    msiinfo export "$1" Property | tr -d '\r' | awk -F '\t' -v name="$2" '$1 == name { print $2 }'
}
msiexec() { # arguments...
    status=0
    wine msiexec "$@" /qn || status=$?
    [ "$status" = 0 ] || fail "msiexec $* /qn ended with $status"
}
# The files of an installed Quillmark, as its build made them: "same" or what differs.
files() { # folder program
    for name in quillmark.exe 答案.txt 使用说明.html; do
        [ -f "$1/$name" ] || { echo "no $name"; return; }
    done
    cmp -s "$1/quillmark.exe" "$2" || { echo "another quillmark.exe"; return; }
    cmp -s "$1/答案.txt" sample/答案.txt || { echo "another 答案.txt"; return; }
    echo same
}
entry() { # product code, value name
    wine reg query "$uninstall\\$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^  /, ""); print }'
}

echo "== $package32, silently"
msiexec /i "$package32"
[ "$(files "$programs32" build/windows32/src/quillmark.exe)" = same ] ||
    fail "Program Files (x86)\\Quillmark: $(files "$programs32" build/windows32/src/quillmark.exe)"

echo "== $package64 over it, silently"
code=$(property "$package64" ProductCode)
msiexec /i "$package64"
[ "$(files "$programs" build/windows/src/quillmark.exe)" = same ] ||
    fail "Program Files\\Quillmark: $(files "$programs" build/windows/src/quillmark.exe)"
[ ! -e "$programs32" ] || fail "the 32-bit Quillmark is still there beside the 64-bit one"
[ -z "$(entry "$(property "$package32" ProductCode)" DisplayName)" ] || fail "the 32-bit package is still listed"
# Per machine (ALLUSERS=1), which Windows puts in the Start menu of all users, in ProgramData; where Wine's
# msiexec puts it in the installing user's (AppData\Roaming) instead, that is said.
[ "$(property "$package64" ALLUSERS)" = 1 ] || fail "the package is not per machine (ALLUSERS=1)"
menu="Microsoft/Windows/Start Menu/Programs/Quillmark.lnk"
shortcut="$drive/ProgramData/$menu"
for mine in "$drive"/users/*/AppData/Roaming/"$menu"; do
    if [ ! -f "$shortcut" ] && [ -f "$mine" ]; then
        shortcut=$mine
        echo "Wine put the shortcut of a per-machine package in the user's Start menu: ${mine#"$drive"/}"
    fi
done
if [ ! -f "$shortcut" ]; then
    fail "no shortcut Quillmark.lnk in the Start menu"
elif ! grep -q -a -F 'C:\Program Files\Quillmark\quillmark.exe' "$shortcut"; then
    fail "the shortcut does not start Program Files\\Quillmark\\quillmark.exe"
fi
# What Programs and Features lists.
wine reg query "$uninstall\\$code" 2>&1 | tr -d '\r' >"$work/entry.txt" || true
for pair in "DisplayName=Quillmark" "DisplayVersion=1.00" "Publisher=Quillmark developers" \
    "URLInfoAbout=https://quillmark.example"; do
    value=$(awk -v name="${pair%%=*}" '$1 == name { $1 = ""; $2 = ""; sub(/^  /, ""); print }' "$work/entry.txt")
    if [ "$value" != "${pair#*=}" ]; then
        fail "Programs and Features: ${pair%%=*} is \"$value\", not \"${pair#*=}\", in:"
        cat "$work/entry.txt"
    fi
done
size=$(awk '$1 == "Size" { print $3 }' "$work/entry.txt")
[ "${size:-0}" -gt 400 ] || fail "Programs and Features: a Size of \"$size\" KB"
icon=$(wine reg query "HKLM\\Software\\Classes\\Installer\\Products" /s 2>/dev/null | tr -d '\r' | grep ProductIcon || true)
case $icon in *quillmark.ico*) ;; *) fail "no ProductIcon for Programs and Features: \"$icon\"" ;; esac
echo "installed: $(ls "$programs" | tr '\n' ' ')and the shortcut; listed with version $(entry "$code" DisplayVersion), $size KB"

echo "== the teacher's key, kept by a repair and an upgrade"
sed 's/^ACABD/DCBAD/' sample/答案.txt >"$work/edited.txt"
cmp -s "$work/edited.txt" sample/答案.txt && fail "the sample key has no line ACABD to edit"
cp "$work/edited.txt" "$programs/答案.txt"
# Every file reinstalled (a), whatever its version or date.
msiexec /i "$package64" REINSTALL=ALL REINSTALLMODE=amus
cmp -s "$programs/答案.txt" "$work/edited.txt" || fail "a repair that reinstalls every file replaced the edited key"
# A package of a higher version, made as the build makes its own.
newer="$work/quillmark-1.01-win64.msi"
cmake -DWIXL="$(command -v wixl)" -DMSIBUILD="$(command -v msibuild)" -DWXS=assets/quillmark.wxs \
    -DOUTPUT="$newer" -DARCH=x64 -DVERSION=1.01 -DFILE_VERSION=1.1.0.0 \
    -DPROGRAM=build/windows/src/quillmark.exe -DKEY=sample/答案.txt -DGUIDE=build/windows/使用说明.html \
    -DICON=assets/quillmark.ico -DHOMEPAGE=https://quillmark.example \
    -DUPGRADE_CODE="$(property "$package64" UpgradeCode | tr -d '{}')" \
    -DSOURCE_DATE="$(cmake -P cmake/SourceDate.cmake)" -P cmake/MakeMsi.cmake
newcode=$(property "$newer" ProductCode)
[ "$newcode" != "$code" ] || fail "the newer package has the same ProductCode"
msiexec /i "$newer"
[ "$(entry "$newcode" DisplayVersion)" = 1.01 ] || fail "the upgrade did not list 1.01"
[ -z "$(entry "$code" DisplayName)" ] || fail "1.00 is still listed after the upgrade"
cmp -s "$programs/答案.txt" "$work/edited.txt" || fail "the upgrade replaced the edited key"
sh tools/run-probe.sh "$programs"
# The browser that 结果 opened on the homepage (Wine's, which stays) holds the folder as its current one, which
# no uninstall can remove while it runs: every Wine process is ended, the next command starts the server anew.
wineserver -k

echo "== uninstalled, silently"
msiexec /x "$newer"
[ ! -e "$programs" ] || fail "Program Files\\Quillmark is left: $(ls "$programs" | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the shortcut is left"
[ -z "$(entry "$newcode" DisplayName)" ] || fail "Quillmark is still listed"
[ "$failed" = 0 ] || exit 1
echo "The packages installed, upgraded keeping the edited key, and uninstalled leaving nothing"
