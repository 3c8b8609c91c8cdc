# The Iterate and Parametric Color dialogs, and Rotate and Edit Parameter Value, answered
# by the user's mouse and keys (the helpers of command_dialogs.sh).

# A point's screen position from its line of "objects".
object_screen_point() {
    local x y
    read -r x y <<<"$(point_line "$1" | awk '{ print $6, $7 }')"
    screen_point "$x" "$y"
}
# The position among the open pop-up menu's items of the item with this id.
popup_item_at() { ask popup-menu | awk -F'|' -v id="$1" '$1 == 0 { n++ } $1 == 0 && $3 == id { print n - 1 }'; }
popup_line() { ask popup-menu | awk -F'|' -v id="$1" '$1 == 0 && $3 == id'; }
popup_shown() { [ "$(ask popup-menu)" != none ]; }
popup_gone() { [ "$(ask popup-menu)" = none ]; }
# Opens a pop-up menu button of the front dialog and clicks the item with this id.
choose_from_button() {
    click_control "$1"
    wait_for 10 "the menu of button $1" popup_shown
    local at
    at=$(popup_item_at "$2")
    [ -n "$at" ] || fail "no item $2 in the menu: $(ask popup-menu)"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$at" | centre) click 1
    wait_for 10 "the menu to close" popup_gone
}
dialog_size() { ask dialog-rect | awk '{ print $3 - $1, $4 - $2 }'; }
# Translates the selected point by 1 cm at 0 degrees through the Translate dialog.
translate_selection() {
    ask command "$(menu_id 10)" >/dev/null
    wait_for 20 "the Translate dialog" dialog_title_is Translate
    click_control 1016
    wait_for 10 "polar" checked 1016
    type_into 1019 1
    type_into 1032 0
    click_control 1
    wait_for 10 "the Translate dialog closed" no_dialog
}

scenario_iterate_dialog() {
    start_with_segment
    step "A' = A translated"
    ask select 0 >/dev/null
    translate_selection
    wait_for 10 "A'" count_is 4
    local undo_before
    undo_before=$(ask undo)

    step "Iterate on A: a click on A' fills the cell and draws the preview"
    ask select 0 >/dev/null
    ask command "$(menu_id 104)" >/dev/null
    wait_for 20 "the Iterate dialog" dialog_title_is Iterate
    local small
    small=$(dialog_size)
    ! enabled 1 || fail "Iterate is enabled before a mapping: $(ask dialog)"
    # shellcheck disable=SC2046
    xdotool mousemove $(object_screen_point 3) click 1
    more_than_four() { [ "$(count)" -gt 4 ]; }
    wait_for 10 "the preview" more_than_four
    wait_for 10 "Iterate enabled" enabled 1
    local preview
    preview=$(count)

    step "\"+\" twice: two more iterations"
    control_field 1298 3 | grep -q "3" || fail "the message line reads: $(control_field 1298 3)"
    click_control 1302
    xdotool type --delay 100 "++"
    five_iterations() { control_field 1298 3 | grep -q "5"; }
    wait_for 10 "five iterations" five_iterations

    step "the Display menu: Final Iteration Only"
    choose_from_button 1300 1010
    click_control 1300
    wait_for 10 "the Display menu" popup_shown
    popup_line 1010 | grep -q '|1$' || fail "Final Iteration Only is not checked: $(popup_line 1010)"
    xdotool key Escape
    wait_for 10 "the menu to close" popup_gone
    dialog_title_is Iterate || fail "Escape in the menu closed the dialog"

    step "OK builds the iteration; one Undo removes it"
    click_control 1
    wait_for 10 "the dialog closed" no_dialog
    local built
    built=$(count)
    [ "$built" -gt 4 ] || fail "nothing built: $(ask objects)"
    ask command "$(menu_id 23)" >/dev/null
    wait_for 10 "undone" count_is 4
    [ "$(ask undo)" = "$undo_before" ] || fail "the Undo item reads $(ask undo), not $undo_before"

    step "Cancel leaves nothing"
    ask select 0 >/dev/null
    ask command "$(menu_id 104)" >/dev/null
    wait_for 20 "the Iterate dialog" dialog_title_is Iterate
    # shellcheck disable=SC2046
    xdotool mousemove $(object_screen_point 3) click 1
    wait_for 10 "the preview" more_than_four
    wait_for 10 "Iterate enabled" enabled 1
    click_control 1302
    xdotool key BackSpace
    wait_for 10 "Backspace to clear the mapping" count_is 4
    ! enabled 1 || fail "Iterate stays enabled without a mapping"
    click_control 2
    wait_for 10 "the dialog closed" no_dialog
    count_is 4 || fail "Cancel left objects: $(ask objects)"

    step "more seeds than the grid shows grow the dialog once"
    [ "$(ask build-segment 120 250 200 260)" = ok ] || fail "no second segment"
    [ "$(ask build-segment 220 250 300 260)" = ok ] || fail "no third segment"
    wait_for 10 "six more objects" count_is 10
    ask select 0 4 5 7 8 >/dev/null
    ask command "$(menu_id 104)" >/dev/null
    wait_for 20 "the Iterate dialog" dialog_title_is Iterate
    local grown
    grown=$(dialog_size)
    read -r sw sh <<<"$small"
    read -r gw gh <<<"$grown"
    [ "$gh" -gt "$sh" ] || fail "the dialog did not grow for five seeds: $small / $grown"
    xdotool type --delay 100 "+"
    sleep 1
    [ "$(dialog_size)" = "$grown" ] || fail "the dialog changed size again: $grown / $(dialog_size)"
    click_control 2
    wait_for 10 "the dialog closed" no_dialog
}

# The colour of column I of a colour bar of the front dialog, and the t it shows there.
bar_pixel() {
    local l t r b
    read -r l t r b <<<"$(control_field "$1" 4)"
    pixel $((l + $2)) $(((t + b) / 2))
}
bar_width() { control_field "$1" 4 | awk '{ print $3 - $1 }'; }
# The column of a bar w pixels wide that shows t (columns 1..w-2 run from -0.9 by 2.8 / (w - 2)).
bar_column() { awk -v w="$1" -v t="$2" 'BEGIN { s = 2.8 / (w - 2); printf "%d\n", 1 + int((t + 0.9) / s + 0.5) }'; }
bar_t() { awk -v w="$1" -v i="$2" 'BEGIN { printf "%.17g\n", -0.9 + (i - 1) * 2.8 / (w - 2) }'; }

scenario_parametric_color_dialog() {
    start_with_segment
    step "the distance d between the segment's ends"
    ask select 0 1 >/dev/null
    ask command "$(menu_id 33)" >/dev/null
    wait_for 20 "the distance" count_is 4
    local d=3

    step "Display > Color > Parametric... on d and B: spectrum bars with black marks"
    ask select $d 1 >/dev/null
    ask command "$(menu_id 89)" >/dev/null
    wait_for 20 "the Parametric Color dialog" dialog_title_is "Parametric Color"
    shown 1224 && ! shown 1223 || fail "one value and one object should read \"Show Object In:\": $(ask dialog)"
    checked 1168 && checked 1173 || fail "not spectrum, both ways: $(ask dialog)"
    shot colour_dialog
    local w mark half mode bar want
    w=$(bar_width 1218)
    mark=$(awk -v w="$w" 'BEGIN { s = 2.8 / (w - 2); printf "%d\n", int(0.9 / s + 0.5) }')
    half=$(bar_column "$w" 0.5)
    for mode in 0 1 2; do
        bar=$((1218 - mode))
        [ "$(bar_pixel $bar "$mark")" = 0,0,0 ] || fail "no black mark at column $mark of bar $bar: $(bar_pixel $bar "$mark")"
        want=$(spectrum_of "$(unit_of "$(bar_t "$w" "$half")" 0 1 $mode)")
        [ "$(bar_pixel $bar "$half")" = "$want" ] || fail "bar $bar at t = 0.5 is $(bar_pixel $bar "$half"), not $want"
    done
    local outside
    outside=$(bar_column "$w" 1.5)
    want=$(spectrum_of "$(unit_of "$(bar_t "$w" "$outside")" 0 1 2)")
    [ "$(bar_pixel 1216 "$outside")" = "$want" ] || fail "the both-ways bar at t = 1.5: $(bar_pixel 1216 "$outside"), not $want"

    step "a click on a bar chooses its repeat mode"
    click_control 1218
    wait_for 10 "Don't Repeat" checked 1171
    click_control 1216
    wait_for 10 "Repeat Bidirectionally" checked 1173

    step "Grayscale: grey ramps"
    click_control 1169
    wait_for 10 "Grayscale" checked 1169
    grey_at_half() { [ "$(bar_pixel 1218 "$half")" = "$(awk -v t="$(bar_t "$w" "$half")" 'BEGIN { v = int(255 * t); printf "%d,%d,%d\n", v, v, v }')" ]; }
    wait_for 10 "a grey ramp" grey_at_half

    step "typing From and To updates the range labels"
    type_into 1154 2
    left_labels_read() { [ "$(control_field 1225 3)" = 2 ] && [ "$(control_field 1221 3)" = 2 ] && [ "$(control_field 1219 3)" = 2 ]; }
    wait_for 10 "the left labels" left_labels_read
    type_into 1170 12
    right_label_reads() { [ "$(control_field 1220 3)" = 12 ]; }
    wait_for 10 "the right labels" right_label_reads

    step "OK colours B as the model computes; Undo restores it"
    local undo_before
    undo_before=$(ask undo)
    click_control 1
    wait_for 10 "the dialog closed" no_dialog
    wait_for 20 "the image" count_is 5
    want=$(byte_of "$(unit_of "$(value_of $d)" 2 12 2)")
    want="$want,$want,$want"
    [ "$(color_of 4)" = "$want" ] || fail "the image is $(color_of 4), not $want (d = $(value_of $d))"
    ask command "$(menu_id 23)" >/dev/null
    wait_for 10 "undone" count_is 4
    [ "$(ask undo)" = "$undo_before" ] || fail "the Undo item reads $(ask undo), not $undo_before"

    step "one value and two objects: \"Show Objects In:\""
    ask select $d 0 1 >/dev/null
    ask command "$(menu_id 89)" >/dev/null
    wait_for 20 "the Parametric Color dialog" dialog_title_is "Parametric Color"
    shown 1223 && ! shown 1224 || fail "not the plural label: $(ask dialog)"
    click_control 2
    wait_for 10 "the dialog closed" no_dialog

    step "the three-value dialog on three values"
    ask select 0 1 >/dev/null
    ask command "$(menu_id 33)" >/dev/null
    wait_for 20 "a second distance" count_is 5
    ask select 0 1 >/dev/null
    ask command "$(menu_id 33)" >/dev/null
    wait_for 20 "a third distance" count_is 6
    ask select 3 4 5 1 >/dev/null
    ask command "$(menu_id 89)" >/dev/null
    wait_for 20 "the three-value dialog" dialog_title_is "Parametric Color"
    [ "$(control_field 1168 3)" = "&Red, Green, Blue" ] || fail "not the three-value dialog: $(ask dialog)"
    shown 1224 || fail "three values and one object should read \"Show Object Using:\": $(ask dialog)"
    click_control 2
    wait_for 10 "the dialog closed" no_dialog
    count_is 6 || fail "Cancel built something: $(ask objects)"
}

# A screen point at the middle of an object's bounds.
object_middle() {
    local l t r b
    read -r l t r b <<<"$(ask bounds "$1")"
    screen_point $(((l + r) / 2)) $(((t + b) / 2))
}
# Whether the image (object I) of B about A(100, 100) lies as far from A as B and at the
# angle's turn from it, within a pixel; prints nothing.
turned_by() {
    local i=$1 degrees=$2
    point_line "$i" | awk -v a="$degrees" '{
        x = $6 - 100; y = $7 - 100; bx = 160; by = 80; r = a * 3.14159265358979 / 180
        # Screen y runs down: a turn counterclockwise on the screen is clockwise in these numbers.
        ex = bx * cos(r) + by * sin(r); ey = -bx * sin(r) + by * cos(r)
        exit !((x - ex) ^ 2 + (y - ey) ^ 2 < 2) }'
}

scenario_rotate_and_parameter_dialogs() {
    start_with_segment
    step "C and the angle BAC"
    [ "$(ask build-segment 260 100 300 60)" = ok ] || fail "no second segment"
    wait_for 10 "C" count_is 6
    ask select 1 0 3 >/dev/null
    ask command "$(menu_id 36)" >/dev/null
    wait_for 20 "the angle" count_is 7
    local angle=6

    step "a double click marks A as the centre; Rotate B by a fixed 90"
    ask select >/dev/null
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 100 100) click --repeat 2 --delay 80 1
    sleep 1
    ask select 1 >/dev/null
    ask command "$(menu_id 11)" >/dev/null
    wait_for 20 "the Rotate dialog" dialog_title_is Rotate
    checked 1030 || fail "not a fixed angle: $(ask dialog)"
    ! enabled 1031 || fail "Marked Angle is enabled with no marked angle: $(ask dialog)"
    type_into 1032 90
    click_control 1
    wait_for 10 "the dialog closed" no_dialog
    wait_for 10 "the image" count_is 8
    turned_by 7 90 || fail "the image is not B turned by 90 about A: $(point_line 7)"

    step "clicking the angle in the sketch enables Marked Angle; the image follows a drag of C"
    ask select 1 >/dev/null
    ask command "$(menu_id 11)" >/dev/null
    wait_for 20 "the Rotate dialog" dialog_title_is Rotate
    # shellcheck disable=SC2046
    xdotool mousemove $(object_middle $angle) click 1
    wait_for 10 "Marked Angle enabled" enabled 1031
    click_control 1031
    wait_for 10 "Marked Angle chosen" checked 1031
    shown 1034 && ! shown 1032 || fail "the marked angle's caption is not in place of the edit: $(ask dialog)"
    click_control 1
    wait_for 10 "the dialog closed" no_dialog
    wait_for 10 "the image" count_is 9
    local image=8 bac
    bac=$(awk 'BEGIN { printf "%.10f\n", atan2(80, 160) * 180 / 3.14159265358979 }')
    turned_by $image "$bac" || fail "the image is not B turned by BAC: $(point_line $image)"
    local x y i
    read -r x y <<<"$(screen_point 260 100)"
    xdotool mousemove "$x" "$y" mousedown 1
    for i in $(seq 1 8); do xdotool mousemove "$x" $((y + i * 5)); sleep 0.05; done
    xdotool mouseup 1
    c_moved() { point_line 3 | awk '{ exit !($7 > 120) }'; }
    wait_for 10 "C dragged" c_moved
    local cx cy
    read -r cx cy <<<"$(point_line 3 | awk '{ print $6, $7 }')"
    bac=$(awk -v cx="$cx" -v cy="$cy" 'BEGIN { printf "%.10f\n", (atan2(80, 160) - atan2(cy - 100, cx - 100)) * 180 / 3.14159265358979 }')
    turned_by $image "$bac" || fail "the image did not follow the angle ($bac): $(point_line $image)"

    step "a fixed 0: the engine's alert, nothing built"
    local alerts before
    alerts=$(alert_count)
    before=$(count)
    ask select 1 >/dev/null
    ask command "$(menu_id 11)" >/dev/null
    wait_for 20 "the Rotate dialog" dialog_title_is Rotate
    click_control 1030
    wait_for 10 "Fixed Angle" checked 1030
    type_into 1032 0
    click_control 1
    wait_for 10 "an alert" has_alerts $((alerts + 1))
    click_control 1
    wait_for 10 "the dialogs closed" no_dialog
    count_is "$before" || fail "a turn by 0 built something: $(ask objects)"

    step "New Parameter 3 in the distance unit; a double click on it opens Edit Parameter Value"
    ask command "$(menu_id 108)" >/dev/null
    wait_for 20 "the New Parameter dialog" dialog_open
    type_into 1252 3
    click_control 1268
    wait_for 10 "the distance unit" checked 1268
    click_control 1
    wait_for 10 "the dialog closed" no_dialog
    wait_for 10 "the parameter" count_is $((before + 1))
    local p=$before
    [ "$(value_of $p)" = 3 ] || fail "the parameter is $(value_of $p)"
    ask select >/dev/null
    # shellcheck disable=SC2046
    xdotool mousemove $(object_middle $p) click --repeat 2 --delay 80 1
    wait_for 20 "the Edit Parameter Value dialog" dialog_open
    ask dialog | head -n1 | grep -q "Edit Parameter" || fail "the dialog is $(ask dialog | head -n1)"
    ! shown 1305 || fail "the Units group shows for an existing parameter: $(ask dialog)"
    type_into 1252 5
    click_control 1
    wait_for 10 "the dialog closed" no_dialog
    five() { [ "$(value_of $p)" = 5 ]; }
    wait_for 10 "the value 5" five

    step "Undo restores 3"
    ask command "$(menu_id 23)" >/dev/null
    three() { [ "$(value_of $p)" = 3 ]; }
    wait_for 10 "the value 3 again" three
}
