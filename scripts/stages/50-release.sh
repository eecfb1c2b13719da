#!/usr/bin/env bash
# The release files, each tested as its user gets it. scripts/release.sh
# makes dist/; the Debian package is installed with apt-get into a fresh
# minimal Debian root (mmdebstrap, from Debian's archive), where its
# programs, manual pages, page and site must be where the README says and
# the programs must run; the Windows zip is unpacked into an empty folder of
# a fresh Wine prefix, where irwav.exe must write the Linux package's 48
# files byte for byte and irwav-play.exe must list and write codes; the
# web zip's site is served by a local HTTP server and opened in headless
# Chromium, which must show the codes and install the service worker. A
# second release.sh, with the programs relinked, must give the same files.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$top"
source scripts/lib.sh
# File lists in byte order.
export LC_ALL=C.UTF-8

[ "$(id -u)" = 0 ] || skip_stage "needs root, for the fresh Debian root the package is installed into"
need_packages_or_skip cmake g++ libasound2-dev dpkg-dev file emscripten g++-mingw-w64-x86-64-posix zip \
  unzip mmdebstrap wine wine64 chromium python3

fail() {
  echo "release: FAILED: $*" >&2
  exit 1
}

work="$(mktemp -d)"
server=""
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  WINEPREFIX="$work/wine" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

started=$SECONDS
scripts/release.sh
echo "release: made in $((SECONDS - started)) s"

# The files below directory $1, by their paths there, in one line.
files_in() {
  (cd "$1" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ' | sed 's/ $//')
}

# The names carry the version of CMakeLists.txt, and SHA256SUMS holds them.
version="$(sed -n 's/^project(irwav VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
deb="irwav_${version}_amd64.deb"
windows_zip="irwav-$version-windows-x86_64.zip"
web_zip="irwav-$version-web.zip"
[ "$(files_in dist)" = "$(printf '%s\n' SHA256SUMS "$deb" "$windows_zip" "$web_zip" | sort | xargs)" ] ||
  fail "dist/ holds $(files_in dist), not the three files of version $version and SHA256SUMS"
[ "$(awk '{print $2}' dist/SHA256SUMS | sort | xargs)" = "$(printf '%s\n' "$deb" "$windows_zip" "$web_zip" | sort | xargs)" ] ||
  fail "SHA256SUMS covers $(awk '{print $2}' dist/SHA256SUMS | xargs)"
(cd dist && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the files"

# ---- The Debian package, installed as the README says into a fresh root
# of this system's Debian release. The check runs inside it: every program
# the package puts in /usr/bin or /usr/sbin runs and has its manual page;
# the page, the site and the README are in place; irwav writes its 48
# files, which come back out for the Windows comparison.
started=$SECONDS
cat >"$work/check-installed.sh" <<'CHECK'
set -eu
version="$1"
fail() { echo "release: FAILED in the installed root: $*" >&2; exit 1; }
programs="$(dpkg -L irwav | grep -E '^/usr/s?bin/.' || true)"
echo "$programs" | grep -qx /usr/bin/irwav || fail "no /usr/bin/irwav"
echo "$programs" | grep -qx /usr/bin/irwav-play || fail "no /usr/bin/irwav-play"
for program in $programs; do
  name="${program##*/}"
  [ "$(command -v "$name")" = "$program" ] || fail "$name is not found on the PATH as $program"
  page="$(man -w "$name" 2>/dev/null)" || fail "man $name finds no manual page"
  case "$page" in /usr/share/man/man*/"$name".*.gz) ;; *) fail "man $name finds $page" ;; esac
  MANWIDTH=80 man "$name" 2>/dev/null | grep -q "irwav $version" || fail "man $name does not name version $version"
  # irwav itself takes no options; every other program answers --version.
  if [ "$name" != irwav ]; then
    shown="$("$name" --version)" || fail "$name --version failed"
    [ "$shown" = "$name $version" ] || fail "$name --version shows \"$shown\""
  fi
done
for file in /usr/share/irwav/irwav.html /usr/share/irwav/site/index.html /usr/share/irwav/site/sw.js \
  /usr/share/irwav/site/manifest.webmanifest /usr/share/doc/irwav/README.md /usr/share/doc/irwav/LICENSE; do
  [ -s "$file" ] || fail "no $file"
done
mkdir /tmp/out
cd /tmp/out
irwav >/tmp/report || fail "irwav failed"
[ "$(ls | wc -l)" = 48 ] || fail "irwav wrote $(ls | wc -l) files, not 48"
irwav-play --list >/tmp/list || fail "irwav-play --list failed"
irwav-play --output /tmp/sony.wav sony >/dev/null || fail "irwav-play --output failed"
cmp -s /tmp/sony.wav "/tmp/out/  0_sony.wav" || fail "irwav-play --output sony differs from irwav's file"
echo "release: installed: $(echo $programs | xargs -n1 basename | xargs) run and have their manual pages; irwav wrote 48 files"
CHECK
suite="$(. /etc/os-release && echo "$VERSION_CODENAME")"
[ -n "$suite" ] || fail "no VERSION_CODENAME in /etc/os-release"
mkdir "$work/linux"
# The package as the README installs it: apt-get fetches what it depends on.
# (eatmydata: dpkg in the throw-away root need not wait for the disk.)
mmdebstrap --quiet --variant=apt --include=man-db --hook-dir=/usr/share/mmdebstrap/hooks/eatmydata \
  --customize-hook="copy-in dist/$deb $work/check-installed.sh /tmp" \
  --customize-hook="chroot \"\$1\" sh -c 'apt-get install -y -qq /tmp/$deb >/tmp/apt.log 2>&1 || { cat /tmp/apt.log; exit 1; }'" \
  --customize-hook="chroot \"\$1\" sh /tmp/check-installed.sh $version" \
  --customize-hook="copy-out /tmp/out /tmp/list /tmp/report $work/linux" \
  "$suite" /dev/null || fail "the package did not install and run in a fresh $suite root"
echo "release: $deb installed into a fresh $suite root and checked ($((SECONDS - started)) s)"
linux="$work/linux/out"

# ---- The Windows zip, unpacked into an empty folder of a fresh Wine
# prefix: no compiler's DLL anywhere Wine looks, no WINEPATH.
started=$SECONDS
unset DISPLAY WAYLAND_DISPLAY WINEPATH
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" HOME="$work/home"
mkdir -p "$HOME"
wineboot -i >/dev/null 2>&1 || true
folder="$WINEPREFIX/drive_c/irwav"
mkdir "$folder"
unzip -q "dist/$windows_zip" -d "$folder"
[ "$(files_in "$folder")" = "LICENSE README.txt irwav-play.exe irwav.exe irwav.html" ] ||
  fail "the Windows zip holds $(files_in "$folder")"
# Every DLL a program imports is one of Windows' own, as the fresh prefix
# has them, and none is the compiler's runtime.
system32="$WINEPREFIX/drive_c/windows/system32"
for exe in irwav.exe irwav-play.exe; do
  dlls="$(objdump -p "$folder/$exe" | awk '/DLL Name:/ {print $3}' | xargs)"
  [ -n "$dlls" ] || fail "$exe imports nothing: not a Windows program?"
  for dll in $dlls; do
    grep -qiE '^(lib|mingw)' <<<"$dll" && fail "$exe needs the compiler's $dll"
    [ -n "$(find "$system32" -maxdepth 1 -iname "$dll")" ] || fail "$exe needs $dll, which Windows does not have"
  done
  echo "release: $exe imports only $dlls"
done
grep -q "^Version $version\.$(printf '\r')\$" "$folder/README.txt" || fail "README.txt does not give version $version"
[ "$(grep -c $'\r$' "$folder/README.txt")" = "$(wc -l <"$folder/README.txt")" ] &&
  [ "$(tail -c 2 "$folder/README.txt" | od -An -tx1 | xargs)" = "0d 0a" ] ||
  fail "README.txt has lines that do not end in CR LF"

# Runs a Windows program in the unpacked folder; its output goes to
# $work/$1.out and .err, and its exit status is echoed.
run_windows() {
  local name="$1" status=0
  (cd "$folder" && wine "${@:2}" >"$work/$name.out" 2>"$work/$name.err") || status=$?
  echo "$status"
}
status="$(run_windows irwav irwav.exe)"
[ "$status" = 0 ] || fail "irwav.exe exited with $status: $(cat "$work/irwav.err")"
sed 's/$/\r/' "$work/linux/report" | cmp -s - "$work/irwav.out" ||
  fail "irwav.exe's report is not the Linux one with CR LF: $(od -c "$work/irwav.out" | head)"
diff <(ls "$linux") <(cd "$folder" && ls -- *.wav) >&2 || fail "irwav.exe wrote other files than the Linux irwav"
for file in "$linux"/*.wav; do
  cmp -s "$file" "$folder/$(basename "$file")" || fail "\"$(basename "$file")\" differs from the Linux package's"
done
echo "release: irwav.exe wrote the Linux package's 48 files, byte for byte"
status="$(run_windows output irwav-play.exe --output sony.wav sony)"
[ "$status" = 0 ] || fail "irwav-play.exe --output exited with $status: $(cat "$work/output.err")"
cmp -s "$folder/sony.wav" "$linux/  0_sony.wav" || fail "irwav-play.exe --output sony.wav sony is not \"  0_sony.wav\""
status="$(run_windows list irwav-play.exe --list)"
[ "$status" = 0 ] || fail "irwav-play.exe --list exited with $status: $(cat "$work/list.err")"
sed 's/$/\r/' "$work/linux/list" | cmp -s - "$work/list.out" ||
  fail "irwav-play.exe --list differs from the Linux list: $(diff <(tr -d '\r' <"$work/list.out") "$work/linux/list" | head)"
echo "release: irwav-play.exe --output and --list agree with the Linux package ($((SECONDS - started)) s)"

# ---- The web zip: site/ served as any static host would, irwav.html from
# a file. Chromium must run the page (the code list comes from the
# WebAssembly) and its service worker, which fetches every file it keeps.
started=$SECONDS
web="$work/web"
mkdir "$web"
unzip -q "dist/$web_zip" -d "$web"
[ "$(files_in "$web")" = \
  "irwav.html site/icon-192.png site/icon-512.png site/icon.svg site/index.html site/manifest.webmanifest site/sw.js" ] ||
  fail "the web zip holds $(files_in "$web")"
cmp -s "$web/irwav.html" "$folder/irwav.html" || fail "the two zips hold different pages"
: >"$work/server.out"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$web/site" >"$work/server.out" 2>>"$work/server.log" &
server=$!
for _ in $(seq 50); do
  port="$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$work/server.out")"
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || fail "the HTTP server did not start: $(cat "$work/server.log")"

# The code list that the page builds from the renderer's table.
count_codes() {
  grep -o 'class="code" data-name="[^"]*"' "$1" | sort -u | wc -l
}
# The service worker's install fetches every file it keeps.
kept="$(grep -o "kFiles = \[[^]]*\]" "$web/site/sw.js" | grep -o "'[^']*'" | tr -d "'" | sed 's|^\./$||; s|^|/|')"
[ -n "$kept" ] || fail "no list of kept files in sw.js"
all_kept() {
  local path
  for path in $kept; do
    grep -qF "\"GET $path HTTP/1.1\" 200" "$work/server.log" || return 1
  done
}
site_ready() {
  [ "$(count_codes "$work/site.html")" -ge 48 ] && all_kept
}
file_ready() {
  [ "$(count_codes "$work/file.html")" -ge 48 ]
}
# Opens $1 in headless Chromium, lets its scripts run, and leaves the DOM in
# $work/$2.html, until the command $3... succeeds. Chromium may end before
# the WebAssembly has been compiled or the service worker has installed
# (both run beside the page), so up to three times, each in a fresh profile.
open_page() {
  local url="$1" name="$2" attempt
  for attempt in 1 2 3; do
    : >"$work/server.log"
    chromium --headless --no-sandbox --disable-gpu --user-data-dir="$work/profile-$name-$attempt" \
      --virtual-time-budget=15000 --dump-dom "$url" >"$work/$name.html" 2>/dev/null || true
    "${@:3}" && return 0
  done
  return 1
}
if ! open_page "http://127.0.0.1:$port/" site site_ready; then
  grep -q '"GET /sw.js HTTP/1.1" 200' "$work/server.log" || fail "the site did not register its service worker: $(cat "$work/server.log")"
  all_kept || fail "the service worker did not fetch every file it keeps (${kept//$'\n'/ }): $(cat "$work/server.log")"
  fail "the site shows $(count_codes "$work/site.html") codes"
fi
codes=$(count_codes "$work/site.html")
if grep -vE '" (200|304) ' "$work/server.log" | grep -q '"GET'; then fail "the site asked for missing files: $(cat "$work/server.log")"; fi
open_page "file://$web/irwav.html" file file_ready ||
  fail "irwav.html from a file shows $(count_codes "$work/file.html") codes"
[ "$(count_codes "$work/file.html")" = "$codes" ] || fail "irwav.html from a file shows $(count_codes "$work/file.html") codes, the site $codes"
echo "release: the site and irwav.html each show $codes codes; the service worker fetched ${kept//$'\n'/ } ($((SECONDS - started)) s)"

# ---- Built again, with the programs relinked, the files are the same.
started=$SECONDS
cp dist/SHA256SUMS "$work/first"
rm -f build/dist-linux/src/irwav build/dist-linux/src/irwav-play build/dist-windows/src/irwav.exe build/dist-windows/src/irwav-play.exe
sleep 1
scripts/release.sh >/dev/null
diff "$work/first" dist/SHA256SUMS >&2 || fail "a second release made other files"
echo "release: made again with the programs relinked: the same files ($((SECONDS - started)) s)"
