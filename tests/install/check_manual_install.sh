#!/usr/bin/env bash
# Installs the build under a temporary prefix and checks the documentation
# folder share/doc/mz4800: the user manual's page with every picture and
# anchor it names, where the program looks for it (bin/../share/doc/mz4800),
# the copyright in Debian's machine-readable format and the changelog, whose
# top entry is this version.
# Usage: check_manual_install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/mz4800-manual-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null
doc="$prefix/share/doc/mz4800"
page="$doc/manual.html"

[ -f "$page" ] || { echo "FAIL: no $page" >&2; exit 1; }
# The program finds it from its own folder.
[ -x "$prefix/bin/mz4800" ] || fail "no bin/mz4800"
[ -f "$prefix/bin/../share/doc/mz4800/manual.html" ] || fail "manual not at bin/../share/doc/mz4800"

# Every picture and page the manual names is installed beside it, and nothing
# is fetched from elsewhere.
refs=$(grep -o -E '(src|href)="[^"#][^"]*"' "$page" | sed -E 's/^(src|href)="([^"]*)"$/\2/' | sort -u)
for r in $refs; do
  case "$r" in
    http://* | https://*) fail "the manual refers outside itself: $r" ;;
    *) [ -f "$doc/$r" ] || fail "the manual names $r, which is not installed" ;;
  esac
done
[ "$(grep -c '<img ' "$page")" -ge 4 ] || fail "the manual has fewer than 4 pictures"

# Every anchor a link points at is there, the index among them.
ids=$(grep -o -E 'id="[^"]+"' "$page" | sed -E 's/id="([^"]*)"/\1/' | sort -u)
grep -qx index <<<"$ids" || fail "no anchor \"index\" (Help > Topic Search)"
for a in $(grep -o -E 'href="#[^"]+"' "$page" | sed -E 's/href="#([^"]*)"/\1/' | sort -u); do
  grep -qx "$a" <<<"$ids" || fail "link to #$a, which the manual does not have"
done
# The index links to at least 30 topics.
index_links=$(sed -n '/<h2 id="index">/,$p' "$page" | grep -c 'href="#')
[ "$index_links" -ge 30 ] || fail "the index lists $index_links topics"

# The copyright (DEP-5) and the changelog, compressed without a name or time.
head -1 "$doc/copyright" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
  fail "copyright is not in the machine-readable format"
grep -q "^Files: \*$" "$doc/copyright" || fail "copyright has no paragraph for every file"
gzip -t "$doc/changelog.Debian.gz" || fail "changelog.Debian.gz is not gzip"
top=$(gzip -dc "$doc/changelog.Debian.gz" | head -1)
[[ "$top" == "mz4800 ($version-"* ]] || fail "the changelog's top entry is not version $version: $top"
[ "$(od -An -tu1 -j4 -N4 "$doc/changelog.Debian.gz" | tr -s ' ')" = " 0 0 0 0" ] ||
  fail "changelog.Debian.gz holds a time stamp (gzip -n)"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "manual install checks passed ($(wc -l <<<"$refs") files named, $(wc -l <<<"$ids") anchors)"
