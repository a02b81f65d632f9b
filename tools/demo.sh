#!/usr/bin/env bash
# Shows the update tool doing its job: builds what is missing, sets up a demo
# installation of Vornix Connection 1.9 and an update package 2.0 in a Wine
# prefix of its own (build/demo/wineprefix), runs Tool.exe from the package
# folder and ends with a before/after report.
#
#   tools/demo.sh           with a display: the real dialogs, you click them
#   tools/demo.sh --auto    presses OK and the message's OK itself and saves
#                           screenshots of both dialogs under build/demo/
#
# Without a display it runs under Xvfb in --auto mode.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORNIX_BUILD:-$root/build/x86_64}   # another build folder may be given
demo=$root/build/demo
prefix=$demo/wineprefix

auto=no
[[ ${1:-} == --auto ]] && auto=yes
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --auto
fi

# ---- build ---------------------------------------------------------------
if [[ ! -f $build/CMakeCache.txt ]]; then
  "$root/tools/build.sh" x86_64
else
  if ! log=$(cmake --build "$build" --target Tool Tidex DemoDriver -j 2 2>&1); then
    printf '%s\n' "$log" >&2
    echo "demo: the build failed" >&2
    exit 1
  fi
fi
bin=$build/bin
for exe in Tool.exe Tidex.exe DemoDriver.exe; do
  [[ -f $bin/$exe ]] || { echo "demo: $bin/$exe was not built" >&2; exit 1; }
done

# ---- Wine prefix of the demo ---------------------------------------------
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
mkdir -p "$demo"
if [[ ! -f $prefix/system.reg ]]; then
  echo "== creating the demo's Wine prefix (first time only, ~20 s)"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
win() { wine "$@" 2>/dev/null </dev/null | tr -d '\r'; }

key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{5B1C7A20-3E4D-4F61-9A7C-2D8E0F13B6A4}'
install_win='C:\Program Files (x86)\Vornix\Vornix Connection'
install=$prefix/drive_c/Program\ Files\ \(x86\)/Vornix/Vornix\ Connection
package_win='C:\VornixUpdate'
package=$prefix/drive_c/VornixUpdate
products=(Korvane.exe Brimlet.dll Oskel.INI language/Mirva.INI help/Quenly.pdf)

crlf() { sed 's/$/\r/'; }

# ---- the installed product, version 1.9 ----------------------------------
echo "== installing Vornix Connection 1.9 in $install_win"
rm -rf "$install" "$package"
mkdir -p "$install/help" "$install/language" "$package"
printf 'MZ Vornix Connection main program 1.9\n'   >"$install/Korvane.exe"
printf 'MZ Vornix device library 1.9\n'            >"$install/Brimlet.dll"
printf '[LANGUAGE]\nTITLE=Vornix Connection 1.9\n' | crlf >"$install/language/Mirva.INI"
printf '%%PDF-1.4 Vornix help 1.9\n'               >"$install/help/Quenly.pdf"
printf '[APP_CONFIG]\nAPP_ENCRYPTION_FOR_APN=0\nAPP_VERSION=1.9\n' | crlf >"$install/Oskel.INI"
printf '[Vornix Internet]\nAPN=internet.vornix\nUserName=guest\nUserPass=vornix123\n\n[Company VPN]\nAPN=vpn.example\nUserName=alice\nUserPass=S3cret!\n\n[Prepaid]\nAPN=prepaid.vornix\nUserName=\nUserPass=0\n' \
  | crlf >"$install/Darrow.ini"
printf '[APP_CONFIG]\nAPP_CONFIG_CMUPDATE_ON=1\nAPP_CONFIG_AUTOCONNECT=1\n' | crlf >"$install/Festor.ini"
win reg delete "$key" /f /reg:32 >/dev/null || true
win reg add "$key" /v InstallLocation /t REG_SZ /d "$install_win" /f /reg:32 >/dev/null
win reg add "$key" /v AppVersion /t REG_SZ /d 1.9 /f /reg:32 >/dev/null

# ---- the update package, version 2.0 -------------------------------------
echo "== staging the update package 2.0 in $package_win"
cp "$bin/Tool.exe" "$bin/Tidex.exe" "$package/"
printf 'MZ Vornix Connection main program 2.0\n'   >"$package/Korvane.exe"
printf 'MZ Vornix device library 2.0\n'            >"$package/Brimlet.dll"
printf '[LANGUAGE]\nTITLE=Vornix Connection 2.0\n' | crlf >"$package/Mirva.INI"
printf '%%PDF-1.4 Vornix help 2.0\n'               >"$package/Quenly.pdf"
printf '[APP_CONFIG]\nAPP_ENCRYPTION_FOR_APN=1\nAPP_VERSION=2.0\n' | crlf >"$package/Oskel.INI"
printf 'Vornix Connection 2.0 update\n\nRun Tool.exe and press OK.\n' | crlf >"$package/Pellow.txt"
printf '[APP_CONFIG]\nAPP_IN_VERSION=2.0\n' | crlf >"$package/Tool.ini"

# ---- what the report compares ----------------------------------------------
version() { win reg query "$key" /v AppVersion /reg:32 | awk '$1 == "AppVersion" { print $3 }'; }
checksum() { [[ -f $install/$1 ]] && sha256sum "$install/$1" | cut -c1-16 || echo "(none)"; }
# UserPass of each profile as hex bytes (encoded ones are not printable).
passwords() {
  LC_ALL=C awk 'BEGIN { for (i = 1; i < 256; i++) ord[sprintf("%c", i)] = i }
    /^\[/ { section = $0; gsub(/[\[\]\r]/, "", section) }
    /^UserPass=/ { v = substr($0, 10); sub(/\r$/, "", v); hex = ""
                   for (i = 1; i <= length(v); i++) hex = hex sprintf(" %02x", ord[substr(v, i, 1)])
                   print section ":" hex }' "$install/Darrow.ini"
}
cmupdate() { awk -F= '/^APP_CONFIG_CMUPDATE_ON/ { sub(/\r$/, "", $2); print $2 }' "$install/Festor.ini"; }

before_version=$(version)
declare -A before_sum
for f in "${products[@]}"; do before_sum[$f]=$(checksum "$f"); done
before_pass=$(passwords)
before_cm=$(cmupdate)

# ---- run the tool ----------------------------------------------------------
echo "== starting Tool.exe in $package_win"
cd "$package"
wine Tool.exe >/dev/null 2>&1 </dev/null &
tool=$!

shot() {  # window rectangle -> PNG
  local rect=($1) file=$2
  xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop "${rect[2]}x${rect[3]}+${rect[0]}+${rect[1]}" +repage "$file"
  echo "   screenshot: ${file#$root/}"
}
if [[ $auto == yes ]]; then
  rect=$(win "$bin/DemoDriver.exe" wait TToolForm 120) || { echo "demo: the confirmation dialog did not appear" >&2; exit 1; }
  sleep 1  # let the dialog finish painting before the screenshot
  shot "$rect" "$demo/tool-dialog.png"
  # Wine without a window manager leaves a window black where it overlaps an
  # older one: the confirmation dialog steps aside (up) so that the message,
  # which opens at its designed place, shows in full next to it.
  win "$bin/DemoDriver.exe" move TToolForm 452 100 >/dev/null
  echo "   pressing OK"
  win "$bin/DemoDriver.exe" click TToolForm TImButton
  rect=$(win "$bin/DemoDriver.exe" wait TMessageBoxForm 300) || { echo "demo: no message appeared" >&2; exit 1; }
  sleep 1
  shot "$rect" "$demo/message-dialog.png"
  both=($rect)
  shot "452 100 ${both[2]} $(( both[1] + both[3] - 100 ))" "$demo/both-dialogs.png"
  echo "   pressing the message's OK"
  win "$bin/DemoDriver.exe" click TMessageBoxForm TImButton
else
  echo "   the dialog is on your screen: press OK (or Cancel) and close the message"
fi
wait "$tool" || true
wineserver -w   # the cleanup program Tidex.exe runs on after the tool

# ---- report ----------------------------------------------------------------
echo
echo "== before / after"
printf '%-24s %-18s %s\n' "AppVersion" "$before_version" "$(version)"
for f in "${products[@]}"; do printf '%-24s %-18s %s\n' "$f" "${before_sum[$f]}" "$(checksum "$f")"; done
printf '%-24s %-18s %s\n' "APP_CONFIG_CMUPDATE_ON" "$before_cm" "$(cmupdate)"
echo "UserPass (hex bytes) before:"
printf '%s\n' "$before_pass" | sed 's/^/   /'
echo "UserPass (hex bytes) after:"
passwords | sed 's/^/   /'
echo "backups left in the installation: $(cd "$install" && find . -name '*.BAK' | wc -l)"
echo "left in the package folder: $(cd "$package" && ls | tr '\n' ' ')"
