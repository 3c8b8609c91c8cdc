# Scenarios of animation: points animated with the Display menu, pausing, speed, dragging
# an animated point, a random free point and a parameter's number.
# Sourced by tests/gui/scenarios, which holds the shared helpers.

# Position I of the front sketch's objects: "x y".
object_xy() { ask objects | awk -v i="$1" 'NR == i + 1 { print $6, $7 }'; }
object_type() { ask objects | awk -v i="$1" 'NR == i + 1 { print $3 }'; }
frames() { ask frames; }
# Runs a Display menu item (by its menu code) with the mouse.
display_menu() {
    local at
    # shellcheck disable=SC2046
    xdotool mousemove $(ask menurect 2 | centre) click 1
    wait_for 10 "the Display menu" popup_open
    at=$(popup_position "$1")
    [ -n "$at" ] || fail "no item $1 in the Display menu: $(ask popup-menu)"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$at" | centre) click 1
    wait_for 10 "the menu to close" no_popup
}
# The item of a menu code is enabled and its text starts with the given text.
row_reads() { menu_row "$1" | grep -q "^$2.*|0|"; }
frames_past() { [ "$(frames)" -ge "$1" ]; }
# Waits until the front sketch has run n more frames.
wait_frames() {
    local target=$(( $(frames) + $1 ))
    wait_for 30 "$1 more frames" frames_past "$target"
}
# A distance and an angle (degrees, y up) of point (x, y) from (cx, cy).
polar() { awk -v x="$1" -v y="$2" -v cx="$3" -v cy="$4" 'BEGIN { r = sqrt((x-cx)^2 + (y-cy)^2); a = atan2(cy - y, x - cx) * 57.29577951; if (a < 0) a += 360; printf "%.3f %.3f\n", r, a }'; }
# The crop of the screen around a screen point, as a sum of its pixels.
crop_sum() {
    import -window root "$work/crop.png"
    convert "$work/crop.png" -crop "$3x$4+$1+$2" +repage -format "%#" info:
}

# Builds with the tools: a circle about (130, 130) through (190, 130), a segment from
# (260, 230) to (460, 230), a point on each, and a free point.
build_animation_sketch() {
    local tool_is_it
    tool_is_it() { [ "$(ask tool)" = "$1" ]; }
    step "a circle with the compass tool"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32775) click 1
    wait_for 10 "the compass tool" tool_is_it 5
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 130 130) mousedown 1 sleep 0.2 mousemove $(screen_point 160 130) sleep 0.1 \
            mousemove $(screen_point 190 130) sleep 0.2 mouseup 1
    wait_for 20 "a circle" object_count_is -eq 3
    step "a segment with the straightedge"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32783) click 1
    wait_for 10 "the segment tool" tool_is_it 6
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 260 230) mousedown 1 sleep 0.2 mousemove $(screen_point 360 230) sleep 0.1 \
            mousemove $(screen_point 460 230) sleep 0.2 mouseup 1
    wait_for 20 "a segment" object_count_is -eq 6
    step "points on the circle and on the segment, and a free point"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32774) click 1
    wait_for 10 "the point tool" tool_is_it 4
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 130 70) click 1
    wait_for 20 "the point on the circle" object_count_is -eq 7
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 300 230) click 1
    wait_for 20 "the point on the segment" object_count_is -eq 8
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 380 100) click 1
    wait_for 20 "the free point" object_count_is -eq 9
    [ "$(object_type 6)" = 15 ] && [ "$(object_type 7)" = 15 ] || fail "not points on paths: $(ask objects)"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    wait_for 10 "the arrow" tool_is_it 1
}

# "frames x y" of object I, read at one moment.
state_of() { ask frames "$1"; }
# The angle step per frame of the point on the circle over at least n frames (degrees;
# it goes counter-clockwise, less than a turn in the time asked).
circle_step() {
    local f1 x1 y1 f2 x2 y2
    read -r f1 x1 y1 <<<"$(state_of 6)"
    wait_frames "$1"
    read -r f2 x2 y2 <<<"$(state_of 6)"
    awk -v f1="$f1" -v f2="$f2" -v a1="$(polar "$x1" "$y1" 130 130 | cut -d' ' -f2)" \
        -v a2="$(polar "$x2" "$y2" 130 130 | cut -d' ' -f2)" \
        'BEGIN { d = a2 - a1; while (d < 0) d += 360; printf "%.5f\n", d / (f2 - f1) }'
}
x_of() { object_xy "$1" | cut -d' ' -f1; }
beyond() { awk -v v="$(x_of 7)" -v lim="$1" -v dir="$2" 'BEGIN { exit !(dir > 0 ? v > lim : v < lim) }'; }

scenario_animate_points() {
    start_program
    wait_for 30 "the first document" has_docs 1
    build_animation_sketch

    step "select both points on paths and animate them from the Display menu"
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 470 25) click 1 sleep 0.2 mousemove $(screen_point 130 70) click 1 sleep 0.2 \
            mousemove $(screen_point 300 230) keydown shift click 1 keyup shift
    wait_for 10 "the two points selected" selection_is "6 7 "
    display_menu 26
    wait_frames 10

    step "the circle's point goes round at its distance, counter-clockwise"
    local i r a last=-1 x y
    for i in 1 2 3 4 5; do
        read -r r a <<<"$(polar $(object_xy 6) 130 130)"
        awk -v r="$r" 'BEGIN { exit !(r > 59 && r < 61) }' || fail "the point left its circle: r = $r"
        if [ "$last" != -1 ]; then
            awk -v a="$a" -v b="$last" 'BEGIN { d = a - b; if (d < 0) d += 360; exit !(d > 0 && d < 180) }' ||
                fail "the angle did not advance: $last then $a"
        fi
        last=$a
        wait_frames 15
    done

    step "no trail: where the point was is white again"
    read -r x y <<<"$(object_xy 6)"
    read -r r a <<<"$(polar "$x" "$y" 130 130)"
    # 3 pixels inside the circle's line, within the point's disc.
    local inside
    inside=$(awk -v x="$x" -v y="$y" 'BEGIN { dx = 130 - x; dy = 130 - y; d = sqrt(dx * dx + dy * dy); printf "%.0f %.0f\n", x + 3 * dx / d, y + 3 * dy / d }')
    wait_frames 20
    # shellcheck disable=SC2046
    is_white "$(pixel $(screen_point $inside))" || fail "a trail stays at $inside"

    step "the segment's point bounces between the ends and never leaves them"
    wait_for 30 "the point near the far end" beyond 440 1
    wait_for 30 "the point coming back" beyond 420 -1
    wait_for 40 "the point near the near end" beyond 280 -1
    wait_for 30 "the point going out again" beyond 300 1
    local ys
    ys=$(ask objects | awk 'NR == 8 { print ($6 >= 260 && $6 <= 460 && $7 == 230) ? "in" : "out" }')
    [ "$ys" = in ] || fail "the point left its segment: $(object_xy 7)"

    step "with nothing selected Animate reads Pause: it holds the points, Resume goes on"
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 470 25) click 1
    wait_for 10 "nothing selected" selection_is ""
    wait_for 10 "Pause Animation offered" row_reads 26 "&Pause Animation"
    display_menu 26
    local held
    held=$(ask objects | sed -n '7,8p')
    sleep 1
    [ "$(ask objects | sed -n '7,8p')" = "$held" ] || fail "the points moved while paused"
    wait_for 10 "Resume Animation offered" row_reads 26 "&Resume Animation"
    display_menu 26
    wait_frames 10
    [ "$(ask objects | sed -n '7,8p')" != "$held" ] || fail "the points did not go on after Resume"

    step "Increase Speed twice: the step per frame grows by 1.26 squared"
    local before after
    before=$(circle_step 20)
    display_menu 28
    display_menu 28
    after=$(circle_step 20)
    awk -v b="$before" -v a="$after" 'BEGIN { r = a / b; exit !(r > 1.5 && r < 1.67) }' ||
        fail "the step went from $before to $after degrees a frame"

    step "slowed right down, the segment's point is dragged: it holds, then goes on from the drop"
    local k
    for k in $(seq 20); do display_menu 29; done
    wait_frames 10
    # By an end of the segment the press would take the end point instead (it stands on
    # it): the press waits until the point, now a pixel or two a second, is well inside.
    inside_ends() { awk -v x="$(x_of 7)" 'BEGIN { exit !(x > 275 && x < 445) }'; }
    wait_for 30 "the point away from the segment's ends" inside_ends
    read -r x y <<<"$(object_xy 7)"
    local from to
    from=$(screen_point "$(printf %.0f "$x")" 230)
    to=$(screen_point 380 230)
    # shellcheck disable=SC2086
    xdotool mousemove $from mousedown 1 sleep 0.2 mousemove $(screen_point 340 230) sleep 0.1 mousemove $to sleep 0.5
    held=$(object_xy 7)
    wait_frames 20
    [ "$(object_xy 7)" = "$held" ] || fail "the dragged point moved on its own: $held, then $(object_xy 7)"
    # The drag moves it by the mouse's way from the press, which caught it in motion.
    awk -v x="${held% *}" 'BEGIN { exit !(x > 365 && x < 395) }' || fail "the point is not near the mouse: $held"
    xdotool mouseup 1
    wait_frames 30
    read -r x y <<<"$(object_xy 7)"
    awk -v x="$x" -v h="${held% *}" 'BEGIN { d = x - h; if (d < 0) d = -d; exit !(d > 0.001 && d < 15) }' ||
        fail "after the drop the point is at $x, not going on from ${held% *}"

    step "Stop leaves the points where they are"
    # The dropped point is still selected: its own motion is stopped, the other goes on.
    wait_for 10 "Stop Animation offered" row_reads 66 "&Stop Animation"
    display_menu 66
    held=$(object_xy 7)
    wait_frames 20
    [ "$(object_xy 7)" = "$held" ] || fail "the point moved after Stop"
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 470 25) click 1
    wait_for 10 "nothing selected" selection_is ""
    wait_for 10 "Stop offered for all" row_reads 66 "&Stop"
    display_menu 66
    held=$(ask objects | sed -n '7,8p')
    sleep 1
    [ "$(ask objects | sed -n '7,8p')" = "$held" ] || fail "the points moved after Stop"
    shot stopped

    step "a free point animated at random stays in the window"
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 470 25) click 1 sleep 0.2 mousemove $(screen_point 380 100) click 1
    wait_for 10 "the free point selected" selection_is "8 "
    display_menu 26
    wait_frames 300
    read -r x y <<<"$(object_xy 8)"
    awk -v x="$x" -v y="$y" 'BEGIN { exit !(x > -10 && x < 540 && y > -10 && y < 300) }' ||
        fail "the free point wandered off to $x $y"
    [ "$(object_xy 8)" != "380.0 100.0" ] || fail "the free point did not move"
    display_menu 66

    step "a parameter animates: its value and its text change"
    [ "$(ask build-parameter 1)" = ok ] || fail "no parameter"
    wait_for 10 "the parameter" object_count_is -eq 10
    local px py value shown
    read -r px py <<<"$(object_xy 9)"
    local at
    at=$(screen_point "$(printf %.0f "$px")" "$(printf %.0f "$py")")
    value=$(ask values | awk '$1 == 9 { print $2 }')
    # shellcheck disable=SC2086
    shown=$(crop_sum $(echo $at | awk '{ print $1 - 40, $2 - 9 }') 80 18)
    ask select 9 >/dev/null
    display_menu 26
    wait_frames 60
    [ "$(ask values | awk '$1 == 9 { print $2 }')" != "$value" ] || fail "the parameter's value stays $value"
    # shellcheck disable=SC2086
    [ "$(crop_sum $(echo $at | awk '{ print $1 - 40, $2 - 9 }') 80 18)" != "$shown" ] || fail "the parameter's text did not change"
    shot parameter
    display_menu 66
}
