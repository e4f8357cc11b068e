#!/usr/bin/env bash
# Thunar's thumbnail service, tumbler, makes thumbnails of the demo world, ground and model with the
# thumbnailer as installed: its entry and our file types in the user's data folder, the program on
# PATH. Asked over D-Bus on a session bus of its own, it saves each thumbnail in the user's cache
# under the MD5 of the scene's URI, with the URI and the scene's modification time in it, as the
# freedesktop.org thumbnail standard has file managers do.
source "$(dirname "$0")/x11_session.bash"
unset DISPLAY
write_demo
packaging="$(dirname "$0")/../../packaging"
data="$WORK/demo/GameData/data"

export HOME="$WORK/home"
export XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_DIRS=/usr/share XDG_CONFIG_DIRS=/etc/xdg
mkdir -p "$WORK/bin" "$XDG_DATA_HOME/thumbnailers" "$XDG_DATA_HOME/mime/packages" \
    "$XDG_CACHE_HOME" "$XDG_CONFIG_HOME"
ln -s "$BUILD_DIR/orvalis-thumbnailer" "$WORK/bin/orvalis-thumbnailer"
export PATH="$WORK/bin:$PATH"
cp "$packaging/orvalis.thumbnailer" "$XDG_DATA_HOME/thumbnailers/"
# The system's file types and ours, as a desktop with the package installed knows them.
cp /usr/share/mime/packages/freedesktop.org.xml "$packaging/orvalis-mime.xml" \
    "$XDG_DATA_HOME/mime/packages/"
update-mime-database "$XDG_DATA_HOME/mime" 2>/dev/null

scenes=("$data/maps/valley.rsw" "$data/maps/valley.gnd" "$data/model/village/showcase.omd")
export SCENES="${scenes[*]}"

# On the session bus: starts tumblerd, waits for its name, queues the scenes with the types GIO
# finds for them, and waits for their thumbnails. Every wait is bounded; tumblerd is stopped by its
# process id when the session ends.
cat >"$WORK/session.sh" <<'SESSION'
set -euo pipefail
/usr/lib/x86_64-linux-gnu/tumbler-1/tumblerd >"$WORK/tumblerd.log" 2>&1 &
tumblerd=$!
trap 'kill "$tumblerd" 2>/dev/null || true' EXIT
service=org.freedesktop.thumbnails.Thumbnailer1
for _ in $(seq 100); do
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$service" 2>/dev/null | grep -q true && break
    kill -0 "$tumblerd" 2>/dev/null || { echo "tumblerd ended at its start"; exit 1; }
    sleep 0.1
done
uris="" types=""
for scene in $SCENES; do
    uri=$(python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).as_uri())' "$scene")
    type=$(gio info -a standard::content-type "$scene" | sed -n 's/^ *standard::content-type: //p')
    uris+="${uris:+, }'$uri'" types+="${types:+, }'$type'"
done
echo "queued: $types"
gdbus call --session --dest "$service" --object-path /org/freedesktop/thumbnails/Thumbnailer1 \
    --method "$service.Queue" "[$uris]" "[$types]" normal default 0 >/dev/null
for _ in $(seq 300); do
    [ "$(find "$XDG_CACHE_HOME/thumbnails" -name '*.png' 2>/dev/null | wc -l)" -ge 3 ] && exit 0
    [ -n "$(find "$XDG_CACHE_HOME/thumbnails" -path '*/fail/*' -type f 2>/dev/null)" ] && break
    sleep 0.1
done
echo "thumbnails made: $(find "$XDG_CACHE_HOME/thumbnails" -type f 2>/dev/null | tr '\n' ' ')"
exit 1
SESSION
export WORK
timeout -k 5 60 dbus-run-session -- bash "$WORK/session.sh" >"$WORK/session.log" 2>&1 ||
    fail "tumbler: $(cat "$WORK/session.log" "$WORK/tumblerd.log" 2>/dev/null)"
grep -qxF "queued: 'application/x-orvalis-world', 'application/x-orvalis-ground', 'application/x-orvalis-model'" \
    "$WORK/session.log" || fail "the scenes' types: $(<"$WORK/session.log")"

# Each thumbnail: 128 x 96 pixels that show the scene, with the URI and modification time of the
# scene in its text chunks.
cat >"$WORK/check.py" <<'PYTHON'
import hashlib, os, pathlib, struct, sys, zlib
scene = pathlib.Path(sys.argv[1])
uri = scene.as_uri()
path = pathlib.Path(os.environ["XDG_CACHE_HOME"], "thumbnails", "normal",
                    hashlib.md5(uri.encode()).hexdigest() + ".png")
data = path.read_bytes()
if data[:8] != b"\x89PNG\r\n\x1a\n":
    sys.exit(f"{path} is no PNG")
texts, width, height, at = {}, 0, 0, 8
while at < len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    body = data[at + 8:at + 8 + length]
    if kind == b"IHDR":
        width, height = struct.unpack(">II", body[:8])
    elif kind == b"tEXt":
        key, _, value = body.partition(b"\0")
        texts[key.decode()] = value.decode()
    elif kind == b"zTXt":
        key, _, value = body.partition(b"\0")
        texts[key.decode()] = zlib.decompress(value[1:]).decode()
    at += 12 + length
if (width, height) != (128, 96):
    sys.exit(f"{scene.name}: {width} x {height}")
if texts.get("Thumb::URI") != uri:
    sys.exit(f"{scene.name}: Thumb::URI is {texts.get('Thumb::URI')}")
# Whole seconds, which tumbler follows with the microseconds.
mtime = texts.get("Thumb::MTime", "")
if not mtime.replace(".", "", 1).isdigit() or int(float(mtime)) != int(scene.stat().st_mtime):
    sys.exit(f"{scene.name}: Thumb::MTime is {texts.get('Thumb::MTime')}")
print(path)
PYTHON
for scene in "${scenes[@]}"; do
    thumbnail=$(python3 "$WORK/check.py" "$scene" 2>&1) || fail "the thumbnail of $scene: $thumbnail"
    shown=$(convert "$thumbnail" -fill black +opaque white -format '%[fx:1-mean]' info:)
    awk -v s="$shown" 'BEGIN { exit !(s > 0.1) }' ||
        fail "the thumbnail of $scene shows almost nothing ($shown)"
done
echo "tumbler: passed"
