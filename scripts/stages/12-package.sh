#!/usr/bin/env bash
# Installing and packaging, from the release build. `cmake --install` puts
# both programs, their manual pages, the README and the license where they
# belong; the manual pages read without warnings and carry the version;
# `cpack -G DEB` makes a package that depends on the ALSA library, and the
# programs unpacked from it (dpkg-deb -x) run: irwav writes its 48 files,
# irwav-play lists the codes and shows the version. The manual describes
# every option that --help names and every protocol that --code takes.
# Where Emscripten is installed the web build is made first, and the package
# must carry the page and its site; without it the package has no page, and
# says so.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$top"
source scripts/lib.sh

need_packages_or_skip cmake g++ libasound2-dev dpkg-dev file man-db nlohmann-json3-dev libmosquitto-dev

fail() {
  echo "package: FAILED: $*" >&2
  exit 1
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The web page goes into the package only from a web build made now.
web=no
web_build="$work/no-web-build"
if need_packages emscripten; then
  cmake --preset web >/dev/null
  cmake --build --preset web >/dev/null
  web=yes
  web_build="$top/build/web"
else
  echo "package: without Emscripten ($packages_missing_reason) the package carries no web page"
fi

cmake --preset release -DIRWAV_WEB_BUILD="$web_build" >/dev/null
cmake --build --preset release
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)"
[ -n "$version" ] || fail "no project version in the release build"

echo "package: cmake --install into a temporary prefix"
cmake --install build/release --prefix "$work/root" >/dev/null
installed="$(cd "$work/root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)"
for file in bin/irwav bin/irwav-play share/man/man1/irwav.1.gz share/man/man1/irwav-play.1.gz \
  share/doc/irwav/README.md share/doc/irwav/LICENSE share/doc/irwav/docs/images/waveform.svg \
  share/doc/irwav/docs/images/emitter.svg share/doc/irwav/docs/images/page-find-light.png \
  share/doc/irwav/docs/images/page-remote-dark.png share/doc/irwav/docs/images/page-devices-light.png; do
  grep -qxF "$file" <<<"$installed" || fail "cmake --install did not install $file"
done
# irwav-mqtt, where its libraries are: the daemon, its manual page and its
# systemd unit.
if [ -x build/release/src/irwav-mqtt ]; then
  for file in bin/irwav-mqtt share/man/man1/irwav-mqtt.1.gz lib/systemd/system/irwav-mqtt.service; do
    grep -qxF "$file" <<<"$installed" || fail "cmake --install did not install $file"
  done
fi
page_files="share/irwav/irwav.html share/irwav/site/index.html share/irwav/site/sw.js share/irwav/site/manifest.webmanifest share/irwav/site/icon-192.png share/irwav/site/icon-512.png"
if [ "$web" = yes ]; then
  for file in $page_files; do
    grep -qxF "$file" <<<"$installed" || fail "cmake --install did not install $file from the web build"
  done
fi
stray="$(grep -vE '^(bin/[^/]+|lib/systemd/system/[^/]+\.service|share/man/man1/[^/]+\.1\.gz|share/doc/irwav/.+|share/irwav/(irwav\.html|site/[^/]+))$' <<<"$installed" || true)"
[ -z "$stray" ] || fail "cmake --install put files elsewhere: $stray"

for page in irwav irwav-play; do
  file="$work/root/share/man/man1/$page.1.gz"
  text="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>"$work/warnings")"
  [ ! -s "$work/warnings" ] || fail "man $page warns: $(cat "$work/warnings")"
  for heading in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" EXAMPLES; do
    grep -q "^$heading" <<<"$text" || fail "man $page has no $heading"
  done
  grep -q "irwav $version" <<<"$text" || fail "man $page does not name version $version"
done
# Every option that irwav-play's help names has its place in the manual.
options="$(build/release/src/irwav-play --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)"
page="$(zcat "$work/root/share/man/man1/irwav-play.1.gz")"
for option in $options; do
  grep -qF -- "\-\-${option#--}" <<<"$page" || fail "man irwav-play does not describe $option"
done
# Every protocol that --code takes is named in the manual, in the page's
# source spelling (a hyphen there is "\-"), as a word of its own.
protocols="$(build/release/src/irwav-play --protocols)"
[ -n "$protocols" ] || fail "irwav-play --protocols lists no protocol"
for protocol in $protocols; do
  grep -qwF -- "${protocol//-/\\-}" <<<"$page" || fail "man irwav-play does not name protocol $protocol"
done
echo "package: installed $(wc -l <<<"$installed") files; both manual pages read cleanly and name $version;"
echo "package: man irwav-play describes all $(wc -w <<<"$options") options of irwav-play --help"
echo "package: and names all $(wc -w <<<"$protocols") protocols of irwav-play --protocols"

echo "package: cpack -G DEB, as the README says"
rm -f build/release/irwav_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb="$(ls build/release/irwav_"$version"_*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
grep -qE '(^|, )libasound2' <<<"$depends" || fail "the package does not depend on the ALSA library: $depends"
dpkg-deb -x "$deb" "$work/unpacked"
[ -f "$work/unpacked/usr/share/man/man1/irwav.1.gz" ] && [ -f "$work/unpacked/usr/share/man/man1/irwav-play.1.gz" ] ||
  fail "the package lacks the manual pages"
if [ "$web" = yes ]; then
  for file in $page_files; do
    [ -f "$work/unpacked/usr/$file" ] || fail "the package lacks the web page's $file"
  done
  cmp -s build/web/irwav.html "$work/unpacked/usr/share/irwav/irwav.html" || fail "the packaged irwav.html is not the one built"
  echo "package: the package carries the web page and its site (usr/share/irwav)"
fi

mkdir "$work/run"
(cd "$work/run" && "$work/unpacked/usr/bin/irwav" >"$work/report") || fail "the packaged irwav failed"
count=$(find "$work/run" -maxdepth 1 -name '*.wav' | wc -l)
[ "$count" = 48 ] || fail "the packaged irwav wrote $count files, not 48"
"$work/unpacked/usr/bin/irwav-play" --list >"$work/list" || fail "the packaged irwav-play --list failed"
shown="$("$work/unpacked/usr/bin/irwav-play" --version)" || fail "the packaged irwav-play --version failed"
[ "$shown" = "irwav-play $version" ] || fail "irwav-play --version shows \"$shown\", not version $version"
grep -qE '^ +0 +sony ' "$work/list" || fail "irwav-play --list lists no sony: $(head -3 "$work/list")"
echo "package: $(basename "$deb") (Depends: $depends): its irwav wrote 48 files, its irwav-play listed $(($(wc -l <"$work/list") - 1)) codes and showed \"$shown\""
