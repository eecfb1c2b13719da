#!/usr/bin/env bash
# Makes the release files in dist/, for whoever publishes a release:
#
#   irwav_VERSION_amd64.deb              the Debian package: what
#                                        `cmake --install` installs, the page
#                                        and its site included
#   irwav-VERSION-windows-x86_64.zip     irwav.exe, irwav-play.exe (needing
#                                        nothing but Windows), README.txt,
#                                        LICENSE and irwav.html
#   irwav-VERSION-web.zip                site/ for any static web host, and
#                                        irwav.html alone for a phone
#   SHA256SUMS                           over the three (sha256sum -c)
#
# VERSION is the project's version in CMakeLists.txt. The builds have build
# directories of their own (build/dist-linux, build/dist-windows; the page
# comes from the web preset's build/web). The files are reproducible: the
# time in them is the last commit's (SOURCE_DATE_EPOCH, unless set), zip
# entries are sorted and carry neither owners nor local times, and the
# build directory's path is mapped out of the programs. Run as root, it
# installs the Debian packages it needs; otherwise it names them.
set -euo pipefail
top="$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)"
cd "$top"
source scripts/lib.sh

fail() {
  echo "release: FAILED: $*" >&2
  exit 1
}

need_packages cmake g++ libasound2-dev nlohmann-json3-dev libmosquitto-dev dpkg-dev file emscripten g++-mingw-w64-x86-64-posix zip ||
  fail "$packages_missing_reason"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2>/dev/null)" ||
    fail "not a git checkout: set SOURCE_DATE_EPOCH to the release's time (seconds since 1970)"
fi
export SOURCE_DATE_EPOCH
if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "release: warning: the checkout has uncommitted changes, which the files will carry" >&2
fi
# zip stores local time: UTC makes it the same everywhere.
export TZ=UTC LC_ALL=C

# The same program bytes from any checkout's path.
flags=(-DCMAKE_CXX_FLAGS="-ffile-prefix-map=$top/=")

echo "release: the page (web preset)"
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
web="$top/build/web"

# Configured afresh each time, so that nothing left in a build's cache
# from an earlier run (a flag set by hand) reaches the files; what was
# compiled with the same flags stays.
rm -f build/dist-linux/CMakeCache.txt build/dist-windows/CMakeCache.txt

echo "release: the Linux programs and the package (build/dist-linux)"
cmake --preset release -B build/dist-linux "${flags[@]}" -DIRWAV_WEB_BUILD="$web" >/dev/null
cmake --build build/dist-linux -j2 >/dev/null
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/dist-linux/CMakeCache.txt)"
[ -n "$version" ] || fail "no project version in build/dist-linux"

echo "release: the Windows programs (build/dist-windows)"
# No link time in the programs' headers (Debian's linker leaves it out
# already; others need telling).
cmake --preset windows -B build/dist-windows "${flags[@]}" -DIRWAV_BUILD_TESTS=OFF \
  -DCMAKE_EXE_LINKER_FLAGS_RELEASE="-Wl,--no-insert-timestamp" >/dev/null
cmake --build build/dist-windows -j2 --target irwav irwav-play >/dev/null

rm -rf dist
mkdir dist
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT

(cd build/dist-linux && rm -f irwav_*.deb && cpack -G DEB >/dev/null)
deb="irwav_${version}_amd64.deb"
[ -f "build/dist-linux/$deb" ] || fail "cpack made no $deb: $(ls build/dist-linux/*.deb 2>&1)"
cp "build/dist-linux/$deb" dist/

# Zips $2 (a directory) into dist/$1: entries in byte order, no directory
# entries, no owners or extra times, every file dated SOURCE_DATE_EPOCH.
make_zip() {
  local name="$1" dir="$2"
  find "$dir" -type d -exec chmod 0755 {} + -o -type f -exec chmod 0644 {} +
  find "$dir" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  (cd "$dir" && find . -type f | sed 's|^\./||' | sort | zip -X -D -q -@ "$top/dist/$name")
}

# Text for Windows: CR LF line ends.
crlf() {
  sed 's/\r$//; s/$/\r/' "$@"
}

windows="$stage/windows"
mkdir "$windows"
for exe in irwav irwav-play; do
  x86_64-w64-mingw32-strip -o "$windows/$exe.exe" "build/dist-windows/src/$exe.exe"
done
sed "s/@VERSION@/$version/" docs/windows/README.txt | crlf >"$windows/README.txt"
crlf LICENSE >"$windows/LICENSE"
cp "$web/irwav.html" "$windows/"
make_zip "irwav-$version-windows-x86_64.zip" "$windows"

site="$stage/web"
mkdir "$site"
cp -R "$web/site" "$site/site"
cp "$web/irwav.html" "$site/"
make_zip "irwav-$version-web.zip" "$site"

(cd dist && sha256sum -- *.deb *.zip >SHA256SUMS)
echo "release: irwav $version (SOURCE_DATE_EPOCH $SOURCE_DATE_EPOCH) in dist/:"
(cd dist && ls -l --time-style=+ -- * | awk '{print "  " $5 "  " $6}')
