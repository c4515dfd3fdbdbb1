#!/bin/bash
# Installs the build into a temporary prefix and checks the files, the desktop
# entry and the metainfo; starts the installed tool (a duplicate search, and a
# song played through the engine where it was installed); then builds the
# Debian package and checks its control data and contents.
# Usage: install_test.sh BUILD_DIR
set -u
build=$(readlink -f "$1")
T=$(mktemp -d /tmp/mvinstall.XXXXXX)
trap 'rm -rf "$T"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
for tool in desktop-file-validate appstreamcli dpkg-deb cpack lame; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

prefix=$T/prefix
cmake --install "$build" --prefix "$prefix" >"$T/install.log" 2>&1 ||
    fail "cmake --install failed: $(cat "$T/install.log")"
id=io.github.mp3vandrel.Mp3Vandrel
for f in bin/mp3vandrel bin/mp3vandrel-cli lib/mp3vandrel/libmv_xaudio.so \
    share/applications/$id.desktop share/icons/hicolor/scalable/apps/$id.svg \
    share/metainfo/$id.metainfo.xml share/man/man1/mp3vandrel.1 share/man/man1/mp3vandrel-cli.1 \
    share/man/man1/mp3vandrel-server.1 share/doc/mp3vandrel/LICENSE \
    share/doc/mp3vandrel/copyright; do
    [ -f "$prefix/$f" ] || fail "$f was not installed"
done
if [ -f "$build/bin/mp3vandrel-server" ]; then
    [ -x "$prefix/bin/mp3vandrel-server" ] || fail "the server was not installed"
fi
# Nothing of the build (tests, benchmarks, static libraries) is installed.
extra=$(cd "$prefix" && find . -type f | grep -v -e '^./bin/mp3vandrel' -e '^./share/' \
    -e '^./lib/mp3vandrel/libmv_xaudio.so$')
[ -z "$extra" ] || fail "installed more than the program: $extra"

desktop-file-validate "$prefix/share/applications/$id.desktop" ||
    fail "the desktop entry is not valid"
grep -qx 'Exec=mp3vandrel' "$prefix/share/applications/$id.desktop" ||
    fail "the desktop entry does not start the installed program"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$T/as.log" 2>&1 ||
    fail "the metainfo is not valid: $(cat "$T/as.log")"
grep -q '<project_license>MIT</project_license>' "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo does not name the license"
if command -v groff >/dev/null; then
    warnings=$(groff -man -Tutf8 -ww -z "$prefix"/share/man/man1/*.1 2>&1)
    [ -z "$warnings" ] || fail "the man pages have faults: $warnings"
fi

# The installed tool works from its own folder, away from the build.
mkdir -p "$T/music" "$T/home"
printf 'a' >"$T/music/Band - Song.mp3"
printf 'bb' >"$T/music/band song.mp3"
rows=$(cd "$T" && MP3VANDREL_HOME="$T/home" "$prefix/bin/mp3vandrel-cli" dupes "$T/music" 2>/dev/null)
[ "$rows" = "$T/music/Band - Song.mp3	$T/music/band song.mp3" ] ||
    fail "the installed tool found: '$rows'"
# Installed, it keeps its files in the per-user data folder even where bin/ is
# writable, and all three programs tell one version.
(cd "$T" && env -u MP3VANDREL_HOME -u XDG_DATA_HOME HOME="$T/user" \
    "$prefix/bin/mp3vandrel-cli" catalogue add --name CD1 "$T/music" >"$T/cat.log" 2>&1) ||
    fail "the installed tool could not add a CD: $(cat "$T/cat.log")"
[ -f "$T/user/.local/share/mp3vandrel/Mp3List.txt" ] ||
    fail "the installed tool kept no Mp3 list in the per-user data folder"
stray=$(ls "$prefix/bin" | grep -v -x -e mp3vandrel -e mp3vandrel-cli -e mp3vandrel-server)
[ -z "$stray" ] || fail "the installed tool wrote into bin/: $stray"
for p in mp3vandrel mp3vandrel-cli mp3vandrel-server; do
    [ -x "$prefix/bin/$p" ] || continue
    [ "$("$prefix/bin/$p" --version)" = "$p 1.52" ] || fail "$p --version: $("$prefix/bin/$p" --version)"
done
# It finds its engine below the library folder: a song plays into a WAV file.
sox -n -r 44100 -c 2 "$T/tone.wav" synth 0.3 sine 440 2>/dev/null ||
    fail "sox could not make a tone"
lame --quiet "$T/tone.wav" "$T/tone.mp3" || fail "lame could not make an MP3"
MP3VANDREL_HOME="$T/home" "$prefix/bin/mp3vandrel-cli" play --out "wav:$T/out.wav" "$T/tone.mp3" \
    >"$T/play.log" 2>&1 || fail "the installed tool could not play: $(cat "$T/play.log")"
[ "$(stat -c %s "$T/out.wav")" -gt 44 ] || fail "the played WAV file holds no sound"

# The Debian package: its dependencies come from the binaries.
(cd "$T" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$T/pkg" >"$T/cpack.log" 2>&1) ||
    fail "cpack failed: $(tail -20 "$T/cpack.log")"
deb=$(ls "$T"/pkg/*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no package was made"
info=$(dpkg-deb --field "$deb" Package Version Depends)
echo "$info" | grep -qx 'Package: mp3vandrel' || fail "package name: $info"
echo "$info" | grep -qx 'Version: 1.52' || fail "package version: $info"
depends=$(dpkg-deb --field "$deb" Depends)
for lib in libc6 libqt6widgets6 libmpg123-0 libstdc++6 libchromaprint1; do
    echo "$depends" | grep -q "$lib" || fail "the package does not depend on $lib: $depends"
done
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for f in ./usr/bin/mp3vandrel ./usr/bin/mp3vandrel-cli ./usr/lib/mp3vandrel/libmv_xaudio.so \
    ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
    ./usr/share/man/man1/mp3vandrel.1 ./usr/share/man/man1/mp3vandrel-cli.1 \
    ./usr/share/doc/mp3vandrel/LICENSE \
    ./usr/share/doc/mp3vandrel/copyright; do
    echo "$contents" | grep -qx "$f" || fail "the package lacks $f"
done
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/mp3vandrel/copyright |
    grep -qx 'License: MIT' || fail "the package's copyright file does not name the MIT license"
echo "PASS"
