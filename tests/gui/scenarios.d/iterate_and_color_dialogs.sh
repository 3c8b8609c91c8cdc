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
