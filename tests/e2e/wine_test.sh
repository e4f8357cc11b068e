#!/usr/bin/env bash
# The Windows viewer under Wine on the demo world, as a user meets it: on a display without a
# 640 x 480 mode it asks to go on windowed, shows a progress title for the ground and for every
# model while it writes the model log, draws the world, and ends on Esc with 0. Then as Explorer
# starts it for a scene file dropped on it: with the file's Windows path as its one argument, in a
# folder without orvalis.arg, its model log in %LOCALAPPDATA%\orvalis, even when the file's name
# is beyond the ANSI code page; it draws that scene with the batched renderer, from vertex arrays
# on opengl32.dll alone, and so it does when --renderer names it. The zip's README-Windows.txt names the world the demo writer makes.
# Arguments: orvalis.exe and its build folder, which holds orvalis-write-demo.exe.
source "$(dirname "$0")/x11_session.bash"
start_display 1024x768

(cd "$WORK" && wine "$BUILD_DIR/orvalis-write-demo.exe" demo) || fail "orvalis-write-demo.exe failed"

# strace holds each open of the ground, of a model file and of a model folder (Wine reads the
# folder to match a name's letter case, also for the missing model) for 0.4 s, like a slow disk,
# so that every title stays long enough to be read. Wine opens them by these paths, the files in
# its server: once the last one has gone, the viewer starts a new one under strace. Only the opens
# stop at strace (--seccomp-bpf): the many other calls of Wine's start would stop too, and on a busy
# machine the first window would come too late.
wineserver -w
slowed=(strace --seccomp-bpf -f -o /dev/null -e trace=openat -e inject=openat:delay_exit=400000)
while read -r file; do
    slowed+=(-P "${WINEPREFIX:?}/dosdevices/z:$file")
done < <(find "$WORK/demo/GameData/data" -name '*.gnd' -o -name '*.omd' -o -path '*/model/*' -type d)

# Wine gives a new window the keyboard a moment after it shows it, and a key pressed before then is
# lost: press Enter until the question goes (looking the box up afresh each time).
answer_windowed_in_time() {
    local question deadline=$((SECONDS + 20))
    question=$(wait_window "Brannock GL")
    while [ -n "$question" ]; do
        ((SECONDS < deadline)) ||
            fail "the question does not take Enter (focus $(xdotool getwindowfocus); windows: $(
                window_titles | tr '\n' ','))"
        press "$question" Return
        sleep 0.3
        question=$(window_id "Brannock GL")
    done
}

# Fails unless the window $1 shows a picture of more than one colour a moment after it is drawn;
# the picture goes to $2, and $3 names it.
expect_picture() {
    sleep 1
    local spread
    spread=$(screenshot_spread "$1" "$2")
    awk -v s="$spread" 'BEGIN { exit !(s > 0.1) }' || fail "$3 is nearly one colour ($spread)"
}

start_viewer "$WORK/demo/world" "${slowed[@]}" wine
answer_windowed_in_time
titles=$(titles_until "Orvalis : Displaying" 60)
window=$(window_id "Orvalis : Displaying")

# The model log: "<loaded> <number> <name>" for each distinct model, in Windows text-file line
# ends; the demo leaves one model out on purpose. Each model's title names it in the same order.
log=$(tr -d '\r' <"$WORK/demo/world/sortie.txt") || fail "no sortie.txt"
grep -q $'\r$' "$WORK/demo/world/sortie.txt" || fail "sortie.txt has no Windows line ends"
awk '$1 !~ /^[01]$/ || $2 != NR || NF < 3 { bad = 1 } $1 == 0 { missing++ }
     END { exit bad || NR < 2 || missing != 1 }' <<<"$log" || fail "sortie.txt holds
$log"
expected_titles=$(awk '{ name = $0; sub(/^[01] [0-9]+ /, "", name); names[NR] = name }
    END { print "Orvalis : Loading Ground"
          for (k = 1; k <= NR; k++) printf "Orvalis : Loading Models (%d\\%d) : %s\n", k, NR, names[k]
          print "Orvalis : Displaying" }' <<<"$log")
[ "$titles" = "$expected_titles" ] || fail "titles were
$titles"

expect_picture "$window" "$WORK/world.png" "the world view"

press "$window" Escape
expect_viewer_exit 0 20
wineserver -w

readme="$BUILD_DIR/packaging/README-Windows.txt"
grep -q $'\r$' "$readme" || fail "README-Windows.txt has no Windows line ends"
readme_world=$(tr -d '\r' <"$readme" | grep -m1 -o 'demo\\[^ ]*\.rsw') || fail "README names no world"
[ -f "$WORK/$(tr '\\' / <<<"$readme_world")" ] || fail "README-Windows.txt names $readme_world"

# A name beyond the ANSI code page (Wine's is Western here), which the viewer opens by its short
# path, and a folder above it that holds the data folder.
scene="$WORK/demo/GameData/data/maps/마을.rsw"
cp "$WORK/demo/GameData/data/maps/valley.rsw" "$scene"
mkdir "$WORK/empty"
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/orvalis
(cd "$WORK/empty" && exec wine "$VIEWER" "$(winepath -w "$scene")" >"$WORK/stdout" 2>"$WORK/stderr") &
VIEWER_PID=$!
answer_windowed_in_time
window=$(wait_window "Orvalis : Displaying" 60)
log=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/orvalis/sortie.txt')
[ -n "$log" ] && grep -qF $'0 3 Village\\Ruins.omd\r' "$log" ||
    fail "no model log in %LOCALAPPDATA%\\orvalis (${log:-none}: $(cat "$log" 2>/dev/null))"
[ -z "$(ls -A "$WORK/empty")" ] || fail "the current folder holds $(ls -A "$WORK/empty")"
expect_picture "$window" "$WORK/batched.png" "the batched world"
press "$window" Escape
expect_viewer_exit 0 20
wineserver -w

(cd "$WORK/empty" && exec wine "$VIEWER" --windowed --renderer batched "$(winepath -w "$scene")" \
    >"$WORK/stdout" 2>"$WORK/stderr") &
VIEWER_PID=$!
window=$(wait_window "Orvalis : Displaying" 60)
expect_picture "$window" "$WORK/renderer.png" "the world of --renderer batched"
press "$window" Escape
expect_viewer_exit 0 20
# Wine lets go of the display before the display goes.
wineserver -w
echo "wine: passed"
