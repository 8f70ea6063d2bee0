#!/bin/sh
# Runs a command (the Windows tests, or the Windows program) under Wine set up as a Chinese Windows: on a
# virtual screen, in a Wine prefix of its own made for this run, with the ANSI code page 936 (GBK) of a
# Chinese system, SimSun mapped to AR PL UMing (Wine ships no SimSun), and no Mono or Gecko installer. Ends
# every Wine process and removes the prefix afterwards. Needs wine, wine64, fonts-wine, xvfb, locales and
# fonts-arphic-uming.
#
#     sh tools/wine.sh ctest --preset windows
set -eu
if [ -z "${QUILLMARK_ON_SCREEN:-}" ]; then
    QUILLMARK_ON_SCREEN=1 exec sh "$(dirname "$0")/screen.sh" sh "$0" "$@"
fi
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

# Chinese, as a locale of this run's own: the system need not have it generated.
mkdir -p "$work/locale"
localedef -i zh_CN -f UTF-8 "$work/locale/zh_CN.UTF-8"
export LOCPATH="$work/locale" LC_ALL=zh_CN.UTF-8
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
wineboot --init
for name in SimSun 宋体; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /d "AR PL UMing CN" /f >/dev/null
done
# Windows as Wine draws them, frames included: there is no window manager on the virtual screen, and waiting
# for one costs two seconds a window.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
wineserver -w
# One server for every program of the run, each then starting in a fraction of the time; Wine's own
# processes (the desktop, the services) start here, writing to nowhere, so that none holds on to the output
# of the command, which a test runner waits on.
wineserver -p
wine cmd /c exit 0 </dev/null >/dev/null 2>&1
"$@"
