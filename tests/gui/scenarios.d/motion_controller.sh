# The Motion Controller bar as the user meets it: shown by Animate, its buttons, the
# speed box and the spin, the target menu, and its states following the front document.
# Sourced by tests/gui/scenarios, which holds the shared helpers (and motion.sh's).

# The bar's own line: "motion shown floating left top right bottom ...".
motion_bar() { ask bars | awk '$1 == "motion"'; }
motion_bar_shown() { [ "$(motion_bar | cut -d' ' -f2)" = 1 ]; }
motion_bar_hidden() { [ "$(motion_bar | cut -d' ' -f2)" = 0 ]; }
# A control or button of the motion bar: id|text|rect|enabled|checked.
motion_control() { ask bars | sed -n '/^motion /,$p' | awk -F'|' -v id="$1" '$1 == "  " id'; }
motion_rect() { motion_control "$1" | cut -d'|' -f3; }
motion_enabled() { [ "$(motion_control "$1" | cut -d'|' -f4)" = 1 ]; }
motion_checked() { [ "$(motion_control "$1" | cut -d'|' -f5)" = 1 ]; }
motion_text() { motion_control "$1" | cut -d'|' -f2; }
spin_at_rest() { [ "$(motion_control spin-position | cut -d'|' -f2,3)" = "100|100" ]; }
# The speed of the motion of object I (1 = medium).
speed_of() { ask motions | awk -v i="$1" '$1 == i { print $2; exit }'; }
speed_is() { [ "$(speed_of "$1")" = "$2" ]; }
paused_is() { [ "$(ask motions | awk 'NR == 1 { print $3 }')" = "$1" ]; }
motion_count_is() { [ "$(ask motions | grep -c . || true)" = "$1" ]; }
click_motion() {
    # shellcheck disable=SC2046
    xdotool mousemove $(motion_rect "$1" | centre) click 1
}
# The angle (degrees) of object 6 about the circle's centre.
angle_of_6() { polar $(object_xy 6) 130 130 | cut -d' ' -f2; }
# The angle's change over a few frames, folded into -180..180.
angle_step() {
    local a b
    a=$(angle_of_6)
    wait_frames 2
    b=$(angle_of_6)
    awk -v a="$a" -v b="$b" 'BEGIN { d = b - a; if (d > 180) d -= 360; if (d < -180) d += 360; print d }'
}
hot_is() { [ "$(ask hot)" = "$1" ]; }
hot_is_one_of() { local h; h=$(ask hot); [[ " $1 " == *" $h "* ]]; }
target_text_is() { [ "$(motion_text 1196)" = "$1" ]; }
speed_text_is() { [ "$(motion_text 1195)" = "$1" ]; }
speed_text_reads_2() { motion_text 1195 | grep -Eq '^2([.,]0*)?$'; }

scenario_motion_controller() {
    start_program
    wait_for 30 "the first document" has_docs 1
    build_animation_sketch
    motion_bar_hidden || fail "the bar shows before any animation: $(motion_bar)"

    step "Animate on the circle's point shows the bar at the frame's bottom left"
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 470 25) click 1 sleep 0.2 mousemove $(screen_point 130 70) click 1
    wait_for 10 "the circle's point selected" selection_is "6 "
    display_menu 26
    wait_for 10 "the Motion Controller" motion_bar_shown
    local bar_left bar_bottom frame_w frame_h
    read -r _ _ _ bar_left _ _ bar_bottom _ <<<"$(motion_bar)"
    read -r frame_w frame_h <<<"$(xdotool getwindowgeometry "$(xdotool search --name '^Velmora - ' | head -n1)" |
        awk '/Geometry/ { split($2, g, "x"); print g[1], g[2] }')"
    awk -v l="$bar_left" -v b="$bar_bottom" -v h="$frame_h" 'BEGIN { exit !(l > 0 && l < 120 && b < h && b > h - 120) }' ||
        fail "the bar is not at the frame's bottom left: bar $(motion_bar), frame $frame_w x $frame_h"
    wait_for 10 "Stop and Pause enabled" motion_enabled 1190
    motion_enabled 1191 && motion_enabled 1195 && motion_enabled 1197 || fail "controls disabled: $(ask bars)"
    wait_for 10 "the target names the point" target_text_is "Target: Point #5"

    step "the point moves: two screenshots differ around the circle"
    local one two
    # shellcheck disable=SC2046
    one=$(crop_sum $(screen_point 60 60) 150 150)
    wait_frames 10
    # shellcheck disable=SC2046
    two=$(crop_sum $(screen_point 60 60) 150 150)
    [ "$one" != "$two" ] || fail "the picture did not change while animating"

    step "Pause holds the point and checks the button; a second press resumes"
    click_motion 1191
    wait_for 10 "paused" paused_is 1
    wait_for 10 "Pause checked" motion_checked 1191
    local held
    held=$(object_xy 6)
    sleep 0.5
    [ "$(object_xy 6)" = "$held" ] || fail "the point moved while paused"
    click_motion 1191
    wait_for 10 "resumed" paused_is 0
    wait_frames 5
    [ "$(object_xy 6)" != "$held" ] || fail "the point did not go on"

    step "the spin's up arrow held raises the speed step by step, then snaps back to 100"
    local before s1 s2 spin_x spin_top
    before=$(speed_of 6)
    read -r spin_x spin_top _ _ <<<"$(motion_rect 1197)"
    xdotool mousemove $((spin_x + 6)) $((spin_top + 4)) mousedown 1
    sleep 0.6
    s1=$(speed_of 6)
    sleep 0.8
    s2=$(speed_of 6)
    xdotool mouseup 1
    awk -v a="$before" -v b="$s1" -v c="$s2" 'BEGIN { exit !(b > a && c > b) }' ||
        fail "the speed did not rise step by step: $before, $s1, $s2"
    wait_for 10 "the spin back at 100" spin_at_rest

    step "\"2\" typed sets the speed to 2 at once; an emptied box on leaving comes back"
    # shellcheck disable=SC2046
    xdotool mousemove $(motion_rect 1195 | centre) click 1 sleep 0.2 key End
    xdotool key BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace type 2
    wait_for 10 "speed 2" speed_is 6 2.0000
    xdotool key Return
    wait_for 10 "the box shows the speed" speed_text_reads_2
    # shellcheck disable=SC2046
    xdotool mousemove $(motion_rect 1195 | centre) click 1 sleep 0.2 key End
    xdotool key BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
    wait_for 10 "an empty box" speed_text_is ""
    speed_is 6 2.0000 || fail "emptying the box changed the speed: $(ask motions)"
    # shellcheck disable=SC2046
    xdotool key Tab sleep 0.2 mousemove $(ask toolbutton 32782) click 1
    wait_for 10 "the speed text restored" speed_text_reads_2

    step "Reverse turns the point the other way"
    local was now
    was=$(angle_step)
    motion_enabled 1192 || fail "Reverse disabled: $(ask bars)"
    click_motion 1192
    wait_frames 3
    now=$(angle_step)
    awk -v a="$was" -v b="$now" 'BEGIN { exit !(a * b < 0) }' || fail "the direction stayed: $was then $now"

    step "two moving objects: the target menu highlights the hovered one and selects the chosen"
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 470 25) click 1 sleep 0.2 mousemove $(screen_point 300 230) click 1
    wait_for 10 "the segment's point selected" selection_is "7 "
    display_menu 26
    wait_for 10 "two motions" motion_count_is 2
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 470 25) click 1
    wait_for 10 "nothing selected" selection_is ""
    wait_for 10 "the target is every motion" target_text_is "Target: All motions"
    # shellcheck disable=SC2046
    xdotool mousemove $(motion_rect 1196 | centre) click 1
    wait_for 10 "the target menu" popup_open
    ask popup-menu | grep -q "Set Target:" || fail "the menu has no title: $(ask popup-menu)"
    local first second
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect 3 | centre)
    wait_for 10 "the second item's object highlighted" hot_is_one_of "6 7"
    second=$(ask hot)
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect 2 | centre)
    wait_for 10 "the first item's object highlighted instead" hot_is_one_of "$((13 - second))"
    first=$(ask hot)
    xdotool click 1
    wait_for 10 "the menu closed" no_popup
    wait_for 10 "the chosen object selected" selection_is "$first "
    wait_for 10 "the highlight gone" hot_is none

    [ "$(speed_of 6)" != "" ] || fail "no motion of the circle's point"
    step "Stop ends the selected point's motion only"
    click_motion 1190
    wait_for 10 "one motion left" motion_count_is 1

    step "a second document shows its own states; going back shows the first's"
    xdotool key ctrl+n
    wait_for 30 "a second document" has_docs 2
    wait_for 10 "Stop disabled in the new document" not_enabled 1190
    wait_for 10 "the speed box empty" speed_text_is ""
    not_enabled 1191 && target_text_is "Target: None" || fail "the new document shows the other's states: $(ask bars)"
    xdotool key ctrl+F6
    # The first document's remaining motion can be paused again, and the target names its
    # selection.
    wait_for 10 "Pause enabled again" motion_enabled 1191
    wait_for 10 "the target of the first document" target_text_is "Target: Point #6"
    end_program
}
not_enabled() { ! motion_enabled "$1"; }
