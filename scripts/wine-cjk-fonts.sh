#!/usr/bin/env bash
# Maps the Chinese font names the installer's window asks for ("宋体",
# "黑体", and their English names) to the CJK font installed from Debian,
# in the Wine prefix named by WINEPREFIX. Windows has these fonts; Wine
# does not, and without the mapping it may fall back to a CJK font without
# Latin letters under a non-Chinese locale.
#   wine-cjk-fonts.sh LOADER
set -u
loader=${1:-wine}
font="WenQuanYi Micro Hei"
for name in "宋体" "黑体" "SimSun" "SimHei" "新宋体" "NSimSun"; do
  "$loader" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ /d "$font" /f >/dev/null 2>&1
done
