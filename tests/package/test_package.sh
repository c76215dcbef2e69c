#!/usr/bin/env bash
# Builds the Debian package with cpack, installs it with dpkg into an empty
# root, and checks what a desktop needs of it: the three programs, the menu entry,
# the icons, the manual pages, the bash completions, the documentation, and a
# Depends field that names the package of every library the programs link to;
# then removes it and checks that it leaves nothing behind.
# Usage: test_package.sh CMAKE CPACK BUILD_DIR
set -euo pipefail
cpack="$2"
build="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

echo "== cpack -G DEB"
(cd "$build" && "$cpack" -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; exit 1; }
debs=("$work"/out/*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "expected one .deb, got: ${debs[*]}" >&2; exit 1; }
deb="${debs[0]}"
echo "built $(basename "$deb")"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = brivano ] || fail "package name is '$(field Package)'"
[ "$(field Version)" = 1.0.0 ] || fail "version is '$(field Version)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture is '$(field Architecture)'"
depends="$(field Depends)"
echo "Depends: $depends"
echo "Recommends: $(field Recommends)"
# Without Qt's Chinese catalogues the file dialogs speak English.
field Recommends | grep -q 'qt6-translations-l10n' || fail "Recommends does not name qt6-translations-l10n"

echo "== dpkg --install into an empty root"
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
# The empty root has none of the libraries, so their absence is forced.
dpkg --root="$root" --force-depends --force-not-root -i "$deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log" >&2; exit 1; }
status="$(dpkg --root="$root" -s brivano | sed -n 's/^Status: //p')"
[ "$status" = "install ok installed" ] || fail "package status is '$status'"

expected=(usr/bin/brivano usr/bin/brivano-cli usr/bin/brivano-run usr/share/applications/brivano.desktop
  usr/share/icons/hicolor/scalable/apps/brivano.svg
  usr/share/man/man1/brivano.1.gz usr/share/man/man1/brivano-cli.1.gz usr/share/man/man1/brivano-run.1.gz
  usr/share/bash-completion/completions/brivano-cli usr/share/bash-completion/completions/brivano-run
  usr/share/doc/brivano/README.md usr/share/doc/brivano/copyright
  usr/share/doc/brivano/examples/keywords.txt usr/share/doc/brivano/examples/result-page.html)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/brivano.png")
done
for file in "${expected[@]}"; do
  [ -s "$root/$file" ] || fail "missing $file"
done
for program in brivano brivano-cli brivano-run; do
  [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is not executable"
done
# A PNG file starts with its 8-byte signature and the IHDR chunk, which holds
# the width and the height as 4-byte big-endian numbers at bytes 16 and 20.
png_header() { od -An -tu1 -N24 "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
for size in 16 22 24 32 48 64 128 256; do
  side="0 0 $((size >> 8)) $((size & 255))"
  expected_header="137 80 78 71 13 10 26 10 0 0 0 13 73 72 68 82 $side $side"
  [ "$(png_header "$root/usr/share/icons/hicolor/${size}x${size}/apps/brivano.png")" = \
    "$expected_header" ] || fail "icon ${size}x${size} is not a PNG of that size"
done

echo "== desktop entry"
entry="$root/usr/share/applications/brivano.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
exec_program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")"
[ -x "$root/usr/bin/$exec_program" ] || fail "Exec=$exec_program is not an installed program"
[ "$(sed -n 's/^Icon=//p' "$entry")" = brivano ] || fail "Icon is not brivano"

echo "== manual pages"
# man -l renders a page from its file; its warnings (and groff's) go to
# standard error, which must stay empty.
for program in brivano brivano-cli brivano-run; do
  page="$root/usr/share/man/man1/$program.1.gz"
  gzip -t "$page" || { fail "$program.1.gz is not gzip"; continue; }
  rendered="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>"$work/man.err")" ||
    fail "man cannot render $program.1.gz"
  [ -s "$work/man.err" ] && fail "man warns on $program.1.gz: $(cat "$work/man.err")"
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" "SEE ALSO"; do
    grep -q "^$section\$" <<<"$rendered" || fail "$program.1 has no $section section"
  done
  # What apropos and whatis show: the NAME line as man-db's index reads it.
  [[ "$(lexgrog "$page" 2>&1)" == *": \"$program - "* ]] || fail "lexgrog cannot read $program.1's NAME line"
done

echo "== bash completion"
for program in brivano-cli brivano-run; do
  script="$root/usr/share/bash-completion/completions/$program"
  # bash-completion loads the file named after the program when its first
  # word is typed; the file must then register a completion for it.
  bash -c 'source "$1" && complete -p "$2"' _ "$script" "$program" >/dev/null 2>&1 ||
    fail "$script registers no completion for $program"
done

echo "== documentation"
copyright="$root/usr/share/doc/brivano/copyright"
[ "$(head -1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
  fail "copyright is not in Debian's machine-readable format"
grep -q "^Files: \*$" "$copyright" && grep -q "^License: " "$copyright" ||
  fail "copyright has no Files: * paragraph with a License"
cmp -s "$root/usr/share/doc/brivano/README.md" "$(dirname "$0")/../../README.md" ||
  fail "the installed README.md is not the repository's"

echo "== dependencies"
# Every library a program links to directly must come from a package that
# Depends names.
dependency_names=" $(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/^ *//; s/ *$//' | tr '\n' ' ') "
for program in brivano brivano-cli brivano-run; do
  binary="$root/usr/bin/$program"
  ldd_out="$(ldd "$binary")"
  if grep -q "not found" <<<"$ldd_out"; then fail "$program: $(grep 'not found' <<<"$ldd_out")"; fi
  for library in $(objdump -p "$binary" | awk '$1 == "NEEDED" { print $2 }'); do
    path="$(awk -v lib="$library" '$1 == lib && $2 == "=>" { print $3 }' <<<"$ldd_out")"
    [ -n "$path" ] || { fail "$program: $library not resolved"; continue; }
    owner=""
    for candidate in "$path" "$(realpath "$path")" "${path#/usr}" "/usr$path"; do
      owner="$(dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1)" && [ -n "$owner" ] && break
    done
    [ -n "$owner" ] || { fail "$program: no package owns $path"; continue; }
    [[ "$dependency_names" == *" $owner "* ]] || fail "$program needs $library from $owner, which Depends lacks"
  done
done

echo "== the installed command-line programs run"
address="$("$root/usr/bin/brivano-cli" url --engine bing brivano)" || fail "brivano-cli did not run"
[[ "$address" == *bing* ]] || fail "brivano-cli printed '$address'"
usage="$("$root/usr/bin/brivano-run" --help)" || fail "brivano-run did not run"
[[ "$usage" == *--keywords* ]] || fail "brivano-run printed '$usage'"

echo "== dpkg --remove leaves nothing behind"
dpkg --root="$root" --force-depends --force-not-root -r brivano >"$work/dpkg-remove.log" 2>&1 ||
  { cat "$work/dpkg-remove.log" >&2; exit 1; }
# Everything but dpkg's own records, and the folders the empty root began with.
left="$(cd "$root" && find . -mindepth 1 ! -path './var' ! -path './var/lib' ! -path './var/lib/dpkg' \
  ! -path './var/lib/dpkg/*' ! -path './var/log' ! -path './var/log/dpkg.log')"
[ -z "$left" ] || fail "left after removal: $(tr '\n' ' ' <<<"$left")"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package checks passed"
