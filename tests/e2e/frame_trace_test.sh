#!/usr/bin/env bash
# One frame of the demo world as GL calls, recorded with apitrace: clear, identity, the camera's
# look-at from the start pose, the scene offset and z mirror, the ground's fixed matrix, then one
# texture bind and one glBegin/glEnd per ground quad and per model face, each face switching its
# blending or alpha test on and off again.
source "$(dirname "$0")/x11_session.bash"
# A 640 x 480 screen: fullscreen without a question, and the pointer where the camera wants it.
start_display 640x480
write_demo

start_viewer "$WORK/demo/world" apitrace trace --output "$WORK/world.trace"
window=$(wait_window "Orvalis : Displaying" 30)
sleep 2
press "$window" Escape
expect_viewer_exit 0 20

# Each frame swaps twice; the second full frame runs from after the second swap to the third.
mapfile -t swaps < <(apitrace dump --color=never --grep=glXSwapBuffers "$WORK/world.trace" |
    sed -n 's/^\([0-9]*\) glXSwapBuffers.*/\1/p' | head -3)
((${#swaps[@]} == 3)) || fail "the recording holds ${#swaps[@]} swaps, not 3"
apitrace dump --color=never --calls="$((swaps[1] + 1))-${swaps[2]}" "$WORK/world.trace" |
    sed -n 's/^[0-9]* //p' | sed 's/\([ {]\)-0\([,})]\)/\10\2/g' >"$WORK/frame.txt"

diff <(head -10 "$WORK/frame.txt") - <<'EOF_HEAD' || fail "the frame does not begin as expected"
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
    /./ { printf "?" }' "$WORK/frame.txt")
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
echo "frame trace: passed ($quads quads, $blended blended and $tested alpha-tested faces)"
