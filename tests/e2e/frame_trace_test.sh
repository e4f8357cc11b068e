#!/usr/bin/env bash
# One frame of the demo world as GL calls, recorded with apitrace: clear, identity, the camera's
# look-at from the start pose, the scene offset and z mirror, the ground's fixed matrix, then one
# texture bind and one glBegin/glEnd per ground quad and per model face, each face switching its
# blending or alpha test on and off again. Each bind names the pixels its texture holds: a world that
# names one of its model files by a second spelling gives the same frame, its placements drawing the
# first spelling's model (with its animation clocks) and textures, read and uploaded once.
source "$(dirname "$0")/x11_session.bash"
# A 640 x 480 screen: fullscreen without a question, and the pointer where the camera wants it.
start_display 640x480
write_demo

# Records the world in the folder $1 into $2.trace. Its second full frame goes to $2.txt, each bound
# texture named by what it holds: the checksum of the pixels of its last level-0 upload, so that
# textures holding one file compare equal. The number of level-0 uploads goes to $2.uploads.
record_frame() {
    start_viewer "$1" apitrace trace --output "$2.trace"
    local window
    window=$(wait_window "Orvalis : Displaying" 30)
    sleep 2
    press "$window" Escape
    expect_viewer_exit 0 20
    # Each frame swaps twice; the second full frame runs from after the second swap to the third.
    local swaps
    mapfile -t swaps < <(apitrace dump --color=never --grep=glXSwapBuffers "$2.trace" |
        sed -n 's/^\([0-9]*\) glXSwapBuffers.*/\1/p' | head -3)
    ((${#swaps[@]} == 3)) || fail "the recording holds ${#swaps[@]} swaps, not 3"
    mkdir "$2.blobs"
    (cd "$2.blobs" && apitrace dump --color=never --blobs --calls="0-${swaps[2]}" "$2.trace") |
        sed 's/\([ {]\)-0\([,})]\)/\10\2/g; s/dpy = 0x[0-9a-f]*/dpy/' |
        awk -v first="$((swaps[1] + 1))" -v blobs="$2.blobs" -v uploads="$2.uploads" '
            match($0, /^[0-9]+ /) { call = substr($0, 1, RLENGTH - 1) + 0; $0 = substr($0, RLENGTH + 1) }
            /^glBindTexture\(target = GL_TEXTURE_2D, texture = [0-9]+\)/ {
                bound = $0; sub(/.*texture = /, "", bound); sub(/\).*/, "", bound)
                if (call >= first) {
                    $0 = "glBindTexture(target = GL_TEXTURE_2D, texture = " \
                         (bound in held ? held[bound] : "empty") ")"
                }
            }
            /^glTexImage2D\(target = GL_TEXTURE_2D, level = 0,.*blob\("/ {
                blob = $0; sub(/.*blob\("/, "", blob); sub(/".*/, "", blob)
                checksum = "sha1sum " blobs "/" blob
                checksum | getline sum
                close(checksum)
                held[bound] = "pixels " substr(sum, 1, 16)
                ++uploaded
            }
            call >= first { print }
            END { print uploaded + 0 > uploads }' >"$2.txt"
}

record_frame "$WORK/demo/world" "$WORK/world"

diff <(head -10 "$WORK/world.txt") - <<'EOF_HEAD' || fail "the frame does not begin as expected"
glClear(mask = GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT)
glLoadIdentity()
glMultMatrixf(m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})
glTranslated(x = 0, y = 0, z = -1)
glTranslatef(x = 0, y = -50, z = 0)
glScalef(x = 1, y = 1, z = -1)
glPushMatrix()
glPushMatrix()
glMultMatrixf(m = {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1})
glTranslatef(x = -640, y = -640, z = 0)
EOF_HEAD

# One letter a call; a ground quad, a blended face and an alpha-tested face each make a word.
shape=$(awk '
    /^glBindTexture\(target = GL_TEXTURE_2D,/ { printf "B"; next }
    /^glBegin\(mode = GL_QUADS\)/ { printf "Q"; next }
    /^glBegin\(mode = GL_TRIANGLES\)/ { printf "T"; next }
    /^glNormal3f/ { printf "N"; next }
    /^glTexCoord2f/ { printf "t"; next }
    /^glVertex3f/ { printf "v"; next }
    /^glEnd\(\)/ { printf "E"; next }
    /^glEnable\(cap = GL_BLEND\)/ { printf "L"; next }
    /^glBlendFunc\(sfactor = GL_SRC_ALPHA, dfactor = GL_ONE\)/ { printf "F"; next }
    /^glDisable\(cap = GL_BLEND\)/ { printf "l"; next }
    /^glEnable\(cap = GL_ALPHA_TEST\)/ { printf "A"; next }
    /^glAlphaFunc\(func = GL_GREATER, ref = 0.9\)/ { printf "G"; next }
    /^glDisable\(cap = GL_ALPHA_TEST\)/ { printf "a"; next }
    /^glPushMatrix\(\)/ { printf "("; next }
    /^glPopMatrix\(\)/ { printf ")"; next }
    /^gl(LoadIdentity|Translate[fd]|Rotatef|Scalef|MultMatrixf)\(/ { printf "M"; next }
    /^glGetFloatv\(pname = GL_(PROJECTION|MODELVIEW)_MATRIX/ { printf "g"; next }
    /^glClear\(/ { printf "C"; next }
    /^glXSwapBuffers\(/ { printf "S"; next }
    /./ { printf "?" }' "$WORK/world.txt")
count() { grep -o "$1" <<<"$shape" | wc -l; }
quads=$(count 'BQNtvtvtvtvE')
blended=$(count 'BLFTtvtvtvNEl')
tested=$(count 'BAGTtvtvtvNEa')
((quads > 1000 && blended > 0 && tested > 0)) ||
    fail "the frame holds $quads quads, $blended blended and $tested alpha-tested faces"
rest=$(sed 's/BQNtvtvtvtvE//g; s/BLFTtvtvtvNEl//g; s/BAGTtvtvtvNEa//g' <<<"$shape")
[[ "$rest" =~ ^CMMMMM\(\(MMgg[\(\)M]*S$ ]] ||
    fail "calls outside the quads and faces: $(tr -d '()M' <<<"$rest" | head -c 200)"
[ "$(tr -cd '(' <<<"$rest" | wc -c)" = "$(tr -cd ')' <<<"$rest" | wc -c)" ] ||
    fail "the matrix pushes and pops do not pair"
# The second placement names the first one's model file by another spelling.
world_file=$(find "$WORK/demo/GameData/data/maps" -iname '*.rsw')
first_name=$(dd if="$world_file" bs=1 skip=302 count=40 status=none | tr -d '\0')
{ printf '.\\%s' "$first_name"; head -c $((38 - ${#first_name})) /dev/zero; } |
    dd of="$world_file" bs=1 seek=$((302 + 252)) conv=notrunc status=none
record_frame "$WORK/demo/world" "$WORK/twice"
diff -q "$WORK/world.txt" "$WORK/twice.txt" >/dev/null ||
    fail "a second spelling of a model file changes the frame: $(diff "$WORK/world.txt" \
        "$WORK/twice.txt" | head -5)"
[ "$(<"$WORK/twice.uploads")" = "$(<"$WORK/world.uploads")" ] ||
    fail "a second spelling of a model file uploads $(<"$WORK/twice.uploads") files, not $(<"$WORK/world.uploads")"

echo "frame trace: passed ($quads quads, $blended blended and $tested alpha-tested faces)"
