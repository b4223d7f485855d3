#!/bin/sh
# Builds vexmora.exe and starts it under Wine on this display. Without a
# display it starts in a virtual one and saves a screenshot.
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2
exe="$PWD/build/win64/vexmora.exe"
shot="$PWD/build/win64/vexmora-screenshot.png"
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-vexmora}"

start='
  wineboot -i >/dev/null 2>&1
  # A fresh prefix has no Chinese fonts of its own.
  for face in "宋体" "新宋体" SimSun NSimSun; do
    wine reg add "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "$face" /t REG_SZ /d "WenQuanYi Zen Hei" /f >/dev/null 2>&1
  done
  wine "$1" &
  if [ "$3" = virtual ]; then
    sleep 25
    import -window root "$2"
    echo "No display here: the meter runs in a virtual one; a screenshot is saved at $2"
  fi
  wait'
if [ -n "${DISPLAY:-}" ]; then
  sh -c "$start" sh "$exe" "$shot" real
else
  xvfb-run -a -s "-screen 0 1280x800x24" sh -c "$start" sh "$exe" "$shot" virtual
fi
