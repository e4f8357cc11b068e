#!/usr/bin/env bash
# Installed like a Linux program: an install into a fresh prefix holds the programs under their own
# names, a desktop entry that desktop-file-validate passes, metainfo that appstreamcli passes, the
# icon, the scene file types, the thumbnailer entry, the manual pages and the documents. Beside the
# system's own file types, GLib types the scene files ours in any letter case, opens them with the
# desktop entry, and the window it opens carries the class the entry names.
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
share/metainfo/invalid.orvalis.Orvalis.metainfo.xml
share/mime/packages/orvalis.xml
share/thumbnailers/orvalis.thumbnailer"
installed=$(cd "$prefix" && find . -type f | sed 's#^\./##' | LC_ALL=C sort)
[ "$installed" = "$expected" ] || fail "the prefix holds:
$installed"

desktop-file-validate "$prefix/share/applications/orvalis.desktop" || fail "desktop-file-validate"
# The tree as a software centre reads it: the metainfo, and the desktop entry it launches.
appstreamcli validate-tree --no-net "$prefix" >"$WORK/appstream.log" 2>&1 ||
    fail "appstreamcli: $(cat "$WORK/appstream.log")"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
[ "$("$prefix/bin/orvalis" --version)" = "orvalis $version" ] || fail "the installed viewer"
for page in orvalis orvalis-write-demo orvalis-thumbnailer; do
    man -l "$prefix/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^NAME" || fail "man $page"
done

# The desktop entry, the thumbnailer and the metainfo take exactly the types the package defines.
types=$(sed -n 's/.*type="\(application\/x-orvalis-[a-z]*\)".*/\1/p' \
    "$prefix/share/mime/packages/orvalis.xml" | sort | tr '\n' ';')
for entry in applications/orvalis.desktop thumbnailers/orvalis.thumbnailer; do
    [ "$(sed -n 's/^MimeType=//p' "$prefix/share/$entry" | tr ';' '\n' | sort | grep . | tr '\n' ';')" = \
        "$types" ] || fail "$entry does not name the types $types"
done
[ "$(sed -n 's/.*<mediatype>\(.*\)<\/mediatype>.*/\1/p' "$prefix"/share/metainfo/*.xml | sort |
    tr '\n' ';')" = "$types" ] || fail "the metainfo does not provide the types $types"
desktop_entry="$prefix/share/applications/orvalis.desktop"
grep -qx 'Exec=orvalis --windowed %f' "$desktop_entry" || fail "Exec"
[ -f "$prefix/bin/$(sed -n 's/^TryExec=//p' "$desktop_entry")" ] ||
    fail "TryExec names no installed program"

# The file types beside the system's (shared-mime-info's, which give *.gnd to GNUnet directories),
# as a package puts them into one database and as an install into ~/.local puts ours above the
# system's. The demo's files are ours in any letter case; a GNUnet directory named .gnd stays GNUnet's.
mime_database() {
    mkdir -p "$1/mime/packages"
    cp "${@:2}" "$1/mime/packages/"
    update-mime-database "$1/mime" 2>/dev/null
}
system_types=/usr/share/mime/packages/freedesktop.org.xml
mime_database "$WORK/system" "$system_types"
mime_database "$WORK/packaged" "$system_types" "$prefix/share/mime/packages/orvalis.xml"
update-mime-database "$prefix/share/mime" 2>/dev/null
write_demo
mkdir "$WORK/files"
maps="$WORK/demo/GameData/data/maps"
model="$WORK/demo/GameData/data/model/village/house.omd"
for name in valley.gnd VALLEY.GND Valley.Gnd; do cp "$maps/valley.gnd" "$WORK/files/$name"; done
for name in valley.rsw VALLEY.RSW; do cp "$maps/valley.rsw" "$WORK/files/$name"; done
for name in house.omd HOUSE.OMD; do cp "$model" "$WORK/files/$name"; done
for name in search.gnd SEARCH.GND; do printf '\211GND\r\n\032\n\0\0\0\0' >"$WORK/files/$name"; done
expected="HOUSE.OMD application/x-orvalis-model
SEARCH.GND application/gnunet-directory
VALLEY.GND application/x-orvalis-ground
VALLEY.RSW application/x-orvalis-world
Valley.Gnd application/x-orvalis-ground
house.omd application/x-orvalis-model
search.gnd application/gnunet-directory
valley.gnd application/x-orvalis-ground
valley.rsw application/x-orvalis-world"
packaged="XDG_DATA_DIRS=$WORK/packaged"
local_install="XDG_DATA_DIRS=$WORK/system XDG_DATA_HOME=$prefix/share"
for layout in "$packaged" "$local_install"; do
    seen=$(cd "$WORK/files" && for name in *; do
        echo "$name $(env XDG_DATA_HOME="$WORK/none" $layout \
            gio info -a standard::content-type "$name" | sed -n 's/^ *standard::content-type: //p')"
    done)
    [ "$seen" = "$expected" ] || fail "with $layout, GLib types the files
$seen"
done

# GLib opens each type with the installed desktop entry, once update-desktop-database has indexed it
# (as a package's trigger does) ...
export $local_install PATH="$prefix/bin:$PATH"
update-desktop-database "$prefix/share/applications"
for type in ${types//;/ }; do
    default=$(gio mime "$type" | sed -n 1p)
    [[ "$default" == *": orvalis.desktop" ]] || fail "$type: $default"
done
# ... and the viewer it starts on a ground has the window class the entry names, by which a desktop
# finds the entry of a window.
start_display
gio launch "$desktop_entry" "$maps/valley.gnd" >"$WORK/stdout" 2>"$WORK/stderr" ||
    fail "gio launch failed"
deadline=$((SECONDS + 20))
until window=$(window_id ORVALIS) && [ -n "$window" ]; do
    ((SECONDS < deadline)) || fail "the desktop entry opened no viewer window"
    sleep 0.1
done
VIEWER_PID=$(xprop -id "$window" _NET_WM_PID | sed 's/.* = //')
class=$(xprop -id "$window" WM_CLASS | sed 's/.*, "\(.*\)"$/\1/')
[ "$class" = "$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")" ] ||
    fail "the window class is $class"
echo "install: passed"
