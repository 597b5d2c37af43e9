#!/bin/sh
# Builds the Debian package as a user would, unpacks it and uses what it installs: both programs run from where the
# package puts them, both manual pages render without a warning, the completions are in bash's folder.
# Usage: check_debian_package.sh SOURCE_DIR BUILD_DIR SAMPLE_PSD
set -eu
source_dir=$1 build=$2 sample=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

deb=$("$source_dir/tools/build_debian_package.sh" "$build")
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-deb-XXXXXX")
trap 'rm -rf "$work"' EXIT

version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "tolvane_${version}_$(dpkg --print-architecture).deb" ] || fail "package named $deb"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "no library dependencies recorded"
dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr

[ "$("$usr/bin/tolvane" --version)" = "tolvane $version" ] || fail "tolvane --version"
"$usr/bin/tolvane" scan "$sample" | grep -q "3 pictures" || fail "tolvane scan on the sample"

printf 'stub' >"$work/stub.exe"
printf 'one' >"$work/one.txt"
printf 'second' >"$work/two.txt"
"$usr/bin/sfxpack" pack --stub "$work/stub.exe" --out "$work/packed.exe" "$work/one.txt" "$work/two.txt" >/dev/null
listing=$("$usr/bin/sfxpack" list "$work/packed.exe")
echo "$listing" | grep -q "one.txt" && echo "$listing" | grep -q "two.txt" || fail "sfxpack list: $listing"

for page in tolvane sfxpack; do
    file=$usr/share/man/man1/$page.1.gz
    text=$(MANWIDTH=80 man --warnings -l "$file" 2>"$work/warnings") || fail "man -l $file"
    [ ! -s "$work/warnings" ] || fail "$page.1 warns: $(cat "$work/warnings")"
    echo "$text" | grep -q "SYNOPSIS" || fail "$page.1 has no synopsis"
    echo "$text" | grep -q "EXIT STATUS" || fail "$page.1 has no exit status"
    echo "$text" | grep -q "tolvane $version" || fail "$page.1 does not carry the version"
    [ -f "$usr/share/bash-completion/completions/$page" ] || fail "no bash completion for $page"
done
echo "ok: $deb"
