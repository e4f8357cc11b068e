#!/usr/bin/env bash
# Installed like a Linux program: an install into a fresh prefix holds the programs under their own
# names, a desktop entry that desktop-file-validate passes, the icon, the scene file types (any
# letter case), the thumbnailer entry, the manual pages and the documents; the installed viewer runs.
source "$(dirname "$0")/x11_session.bash"
prefix="$WORK/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

expected="bin/orvalis
bin/orvalis-thumbnailer
bin/orvalis-write-demo
share/applications/orvalis.desktop
share/doc/orvalis/LICENSE
share/doc/orvalis/README.md
share/doc/orvalis/changelog.gz
share/doc/orvalis/copyright
share/icons/hicolor/scalable/apps/orvalis.svg
share/man/man1/orvalis-thumbnailer.1.gz
share/man/man1/orvalis-write-demo.1.gz
share/man/man1/orvalis.1.gz
share/mime/packages/orvalis.xml
share/thumbnailers/orvalis.thumbnailer"
installed=$(cd "$prefix" && find . -type f | sed 's#^\./##' | LC_ALL=C sort)
[ "$installed" = "$expected" ] || fail "the prefix holds:
$installed"

desktop-file-validate "$prefix/share/applications/orvalis.desktop" || fail "desktop-file-validate"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
[ "$("$prefix/bin/orvalis" --version)" = "orvalis $version" ] || fail "the installed viewer"
for page in orvalis orvalis-write-demo orvalis-thumbnailer; do
    man -l "$prefix/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^NAME" || fail "man $page"
done

# The file types: every glob matches in any letter case, and the desktop entry and the thumbnailer
# take exactly the types the package defines.
update-mime-database "$prefix/share/mime" 2>/dev/null
globs=$(grep orvalis "$prefix/share/mime/globs2" | LC_ALL=C sort)
[ "$globs" = "50:application/x-orvalis-ground:*.gnd
50:application/x-orvalis-model:*.omd
50:application/x-orvalis-world:*.rsw" ] || fail "the globs are
$globs"
types=$(sed -n 's/.*type="\(application\/x-orvalis-[a-z]*\)".*/\1/p' \
    "$prefix/share/mime/packages/orvalis.xml" | sort | tr '\n' ';')
for entry in applications/orvalis.desktop thumbnailers/orvalis.thumbnailer; do
    [ "$(sed -n 's/^MimeType=//p' "$prefix/share/$entry" | tr ';' '\n' | sort | grep . | tr '\n' ';')" = \
        "$types" ] || fail "$entry does not name the types $types"
done
grep -qx 'Exec=orvalis --windowed %f' "$prefix/share/applications/orvalis.desktop" || fail "Exec"
echo "install: passed"
