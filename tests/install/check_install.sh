#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under /usr and checks what a
# packager and a desktop rely on: the files and where they go, the desktop
# entry and AppStream data as their validators see them, the manual pages
# (with this version), the documentation folder, the installed program's
# command line without a display, and its first start preparing ~/MZ4800 from
# the installed demonstration files.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR DESKTOP_ID VERSION
set -euo pipefail
build=$1 source=$2 id=$3 version=$4
dest=$(mktemp -d "${TMPDIR:-/tmp}/mz4800-install-XXXXXX")
trap 'rm -rf "$dest"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
root="$dest/usr"

for f in bin/mz4800 bin/mz4800-emulator \
         "share/applications/$id.desktop" \
         "share/icons/hicolor/scalable/apps/$id.svg" \
         "share/icons/hicolor/256x256/apps/$id.png" \
         "share/metainfo/$id.metainfo.xml" \
         share/mz4800/MZ4800.INI share/mz4800/cell0010.csv \
         share/man/man1/mz4800.1.gz share/man/man1/mz4800-emulator.1.gz \
         share/doc/mz4800/copyright share/doc/mz4800/changelog.Debian.gz \
         share/doc/mz4800/manual.html share/doc-base/mz4800-manual \
         share/lintian/overrides/mz4800; do
  [ -f "$root/$f" ] || fail "missing $f"
done
for f in bin/mz4800 bin/mz4800-emulator; do [ -x "$root/$f" ] || fail "$f is not executable"; done
# Nothing of the build tools or tests slips in.
extra=$(cd "$root" && find . -type f | grep -Ev "^\./(bin/mz4800|bin/mz4800-emulator|share/(applications|icons|metainfo|mz4800|man|doc/mz4800)/.*|share/doc-base/mz4800-manual|share/lintian/overrides/mz4800)$" || true)
[ -z "$extra" ] || fail "unexpected files: $extra"

desktop-file-validate "$root/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -qx "Icon=$id" "$root/share/applications/$id.desktop" || fail "desktop entry names another icon"
grep -qx "Exec=mz4800" "$root/share/applications/$id.desktop" || fail "desktop entry starts another program"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$root/share/metainfo/$id.metainfo.xml" \
  || fail "AppStream data launches another desktop entry"
grep -q "<release version=\"$version\"" "$root/share/metainfo/$id.metainfo.xml" || fail "AppStream release is not $version"
grep -q "/docs/main_window.png</image>" "$root/share/metainfo/$id.metainfo.xml" || fail "no screenshot of the main window"

# The PNG icon is 256 x 256 (width and height of the IHDR chunk).
size=$(od -An -tu1 -j16 -N8 "$root/share/icons/hicolor/256x256/apps/$id.png" | tr -s ' ')
[ "$size" = " 0 0 1 0 0 0 1 0" ] || fail "PNG icon is not 256 x 256 ($size)"

for page in mz4800 mz4800-emulator; do
  gzip -dc "$root/share/man/man1/$page.1.gz" | grep -q "^\.TH ${page^^} 1 \"[A-Z][a-z]* [0-9]*\" \"mz4800 $version\"" ||
    fail "manual page $page(1)"
done
grep -qx "Index: /usr/share/doc/mz4800/manual.html" "$root/share/doc-base/mz4800-manual" ||
  fail "the doc-base entry does not name the installed manual"
cmp -s "$root/share/mz4800/MZ4800.INI" "$source/examples/MZ4800.INI" || fail "installed configuration differs"

# The command line works on a machine without a display: no DISPLAY, no
# WAYLAND_DISPLAY, no QT_QPA_PLATFORM.
# The sanitizers' settings pass, for a sanitized build.
bare() {
  env -i PATH=/usr/bin:/bin HOME="$dest/home" ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} \
    ${UBSAN_OPTIONS:+UBSAN_OPTIONS=$UBSAN_OPTIONS} "$@"
}
out=$(bare "$root/bin/mz4800" --version) || fail "--version exit $?"
[ "$out" = "mz4800 $version" ] || fail "--version printed '$out'"
bare "$root/bin/mz4800" --help | grep -q -- "--report RESULTS.MZ OUT.pdf" || fail "--help"
set +e
bare "$root/bin/mz4800" --no-such-option 2>/dev/null
code=$?
set -e
[ $code -eq 2 ] || fail "an unknown option exits $code, not 2"
bare "$root/bin/mz4800-emulator" --help >/dev/null || fail "mz4800-emulator --help"
[ ! -e "$dest/home" ] || fail "the command line touched the home folder"

# First start of the installed program: a missing ~/MZ4800 is prepared from
# the installed files, and the window runs (until the timeout ends it).
mkdir -p "$dest/home"
set +e
bare QT_QPA_PLATFORM=offscreen timeout 4 "$root/bin/mz4800" >/dev/null 2>&1
code=$?
set -e
[ $code -eq 124 ] || fail "the installed program ended by itself with $code"
cmp -s "$dest/home/MZ4800/cell0010.csv" "$root/share/mz4800/cell0010.csv" ||
  fail "~/MZ4800/cell0010.csv was not prepared"
# timeout's SIGTERM ends the program as a close does, which writes the
# configuration back: the prepared one was read (no defaults, so no port
# question), and the file is whole.
[ "$(wc -l <"$dest/home/MZ4800/MZ4800.INI")" -eq 104 ] || fail "~/MZ4800/MZ4800.INI was not prepared"
[ ! -e "$dest/home/MZ4800/MZ4800.INI.damaged" ] || fail "the prepared MZ4800.INI did not read"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "install checks passed"
