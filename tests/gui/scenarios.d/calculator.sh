# The Calculator, opened from the menus and driven with real clicks and keys: the
# keypad, typing, picking a measurement in the sketch, the pop-up menus, OK and Cancel
# with their undo steps, editing a calculation, functions and the splitter.

# The open calculator's tokens and "caret anchor", as the hook reports them.
calc_tokens() { ask calc | cut -d'|' -f1; }
calc_selection() { ask calc | cut -d'|' -f2; }
token_count_is() { [ "$(calc_tokens | wc -w)" = "$1" ]; }
tokens_are() { [ "$(calc_tokens)" = "$1" ]; }
# One control of the front dialog: id|class|text|l t r b|visible|enabled|checked|focus.
control_row() { ask dialog | awk -F'|' -v id="$1" '$1 == id'; }
control_enabled() { [ "$(control_row "$1" | cut -d'|' -f6)" = 1 ]; }
control_rect() { control_row "$1" | cut -d'|' -f4; }
# Clicks the middle of a control of the front dialog.
click_control() {
    local l t r b
    read -r l t r b <<<"$(control_rect "$1")"
    [ -n "$b" ] || fail "no control $1 in the dialog: $(ask dialog | head -n1)"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
}
dialog_title_is() { [ "$(ask dialog | head -n1)" = "$1" ]; }
calculator_open() { dialog_title_is "$1" && [ "$(ask calc)" != none ]; }
# Opens the calculator with a menu command and waits for it and its first paint.
open_calculator() {
    ask command "$(menu_id "$1")" >/dev/null
    wait_for 20 "the calculator \"$2\"" calculator_open "$2"
}
# Chooses an item of a calculator pop-up menu by pressing Up n times from its end.
choose_from_menu() {
    local button=$1 ups=$2 i
    click_control "$button"
    sleep 0.5
    for ((i = 0; i < ups; ++i)); do xdotool key Up; sleep 0.1; done
    xdotool key Return
}
# Whether two numbers agree to 1e-6 relative.
near() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; if (d < 0) d = -d; m = b < 0 ? -b : b; exit !(d <= 1e-6 * (m + 1)) }'; }
undo_row=23
redo_row=24

scenario_calculator_new() {
    start_with_segment
    step "the length AB of the segment"
    ask select 2 >/dev/null
    ask command "$(menu_id 32)" >/dev/null
    wait_for 20 "the length" object_count_is -eq 4
    local ab
    ab=$(value_of 3)
    ask select >/dev/null

    step "Measure > Calculate...: the help text in place of the display, OK grey"
    open_calculator 43 "New Calculation"
    ask dialog | grep -qx 'Create an expression using the keypad' || fail "no help text: $(ask dialog)"
    [ "$(control_row 1352 | cut -d'|' -f5)" = 0 ] || fail "the display shows with an empty expression"
    ! control_enabled 1 || fail "OK is enabled for an empty expression"
    ! control_enabled 1095 || fail "the * key is enabled before an operand"
    control_enabled 1094 || fail "the minus key is not enabled to begin an operand"
    shot empty

    step "2 * clicked on the keypad: OK stays grey and Enter leaves the dialog open"
    click_control 1082
    wait_for 10 "the 2" tokens_are "2"
    control_enabled 1095 || fail "the * key is grey after a digit"
    control_enabled 1 || fail "OK is grey for the expression 2"
    click_control 1095
    wait_for 10 "2 *" tokens_are "2 4098"
    ! control_enabled 1 || fail "OK is enabled for the unfinished 2*"
    control_row 1352 | grep -q '|1|1|' || fail "the display is not shown for 2*: $(control_row 1352)"
    xdotool key Return
    sleep 1
    calculator_open "New Calculation" || fail "Enter closed the calculator over an unfinished expression"
    tokens_are "2 4098" || fail "Enter changed the expression: $(calc_tokens)"
    object_count_is -eq 4 || fail "Enter built something: $(ask objects)"

    step "3 typed, then cm from the Units menu"
    xdotool type 3
    wait_for 10 "2 * 3" tokens_are "2 4098 3"
    choose_from_menu 6 4
    wait_for 10 "the unit" token_count_is 4
    calculator_open "New Calculation" || fail "choosing a unit closed the calculator"

    step "+ typed, then the length AB clicked in the sketch, highlighted while hovered"
    xdotool type +
    wait_for 10 "the plus" token_count_is 5
    local l t r b x y
    read -r l t r b <<<"$(ask bounds 3)"
    read -r x y <<<"$(screen_point $(((l + r) / 2)) $(((t + b) / 2)))"
    shot before_hover
    xdotool mousemove "$x" "$y"
    sleep 0.5
    xdotool mousemove $((x + 1)) "$y"
    sleep 0.5
    shot hovered
    xdotool click 1
    wait_for 10 "the length in the expression" token_count_is 6

    step "* typed, then e from the Values menu"
    xdotool type '*'
    wait_for 10 "the times" token_count_is 7
    choose_from_menu 4 1
    wait_for 10 "e" token_count_is 8
    control_enabled 1 || fail "OK is grey for a whole expression: $(calc_tokens)"
    shot whole

    step "OK makes the calculation 2*3 cm + AB*e"
    click_control 1
    wait_for 20 "the calculation" object_count_is -eq 5
    local want
    want=$(awk -v ab="$ab" 'BEGIN { printf "%.17g\n", 6 + ab * exp(1) }')
    near "$(value_of 4)" "$want" || fail "the calculation is $(value_of 4), not $want"

    step "Undo takes it away, Redo brings it back"
    ask command "$(menu_id $undo_row)" >/dev/null
    wait_for 20 "the calculation gone" object_count_is -eq 4
    ask command "$(menu_id $redo_row)" >/dev/null
    wait_for 20 "the calculation back" object_count_is -eq 5
    near "$(value_of 4)" "$want" || fail "after Redo the calculation is $(value_of 4)"

    step "Cancel makes nothing and adds no undo step"
    local undo
    undo=$(ask undo)
    ask select >/dev/null
    open_calculator 43 "New Calculation"
    xdotool type 5
    wait_for 10 "the 5" tokens_are "5"
    click_control 2
    wait_for 20 "the calculator to close" no_dialog
    object_count_is -eq 5 || fail "Cancel built something: $(ask objects)"
    [ "$(ask undo)" = "$undo" ] || fail "Cancel changed the undo step: $(ask undo)"
}
