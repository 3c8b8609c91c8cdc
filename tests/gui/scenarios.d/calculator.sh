# The Calculator, opened from the menus and driven with real clicks and keys: the
# keypad, typing, picking a measurement in the sketch, the pop-up menus, OK and Cancel
# with their undo steps, editing a calculation, functions and the splitter.

# The open calculator's tokens and "caret anchor", as the hook reports them.
calc_tokens() { ask calc | cut -d'|' -f1; }
calc_selection() { ask calc | cut -d'|' -f2; }
token_count_is() { [ "$(calc_tokens | wc -w)" = "$1" ]; }
tokens_are() { [ "$(calc_tokens)" = "$1" ]; }
# One control of the front dialog: id|class|text|l t r b|visible|enabled|checked|focus.
calc_control_row() { ask dialog | awk -F'|' -v id="$1" '$1 == id'; }
calc_control_enabled() { [ "$(calc_control_row "$1" | cut -d'|' -f6)" = 1 ]; }
calc_control_rect() { calc_control_row "$1" | cut -d'|' -f4; }
# Clicks the middle of a control of the front dialog.
calc_click() {
    local l t r b
    read -r l t r b <<<"$(calc_control_rect "$1")"
    [ -n "$b" ] || fail "no control $1 in the dialog: $(ask dialog | head -n1)"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
}
dialog_title_is() { [ "$(ask dialog | head -n1)" = "$1" ]; }
# The title may be a pattern ("Edit *": a calculation without parents is a parameter's).
calculator_open() {
    # shellcheck disable=SC2053
    [[ "$(ask dialog | head -n1)" == $1 ]] && [ "$(ask calc)" != none ]
}
# Opens the calculator with a menu command and waits for it and its first paint.
open_calculator() {
    ask command "$(menu_id "$1")" >/dev/null
    wait_for 20 "the calculator \"$2\"" calculator_open "$2"
    wait_for 10 "the expression area to have the keyboard" area_has_focus
}
area_has_focus() { [ "$(calc_control_row 1155 | cut -d"|" -f8)" = 1 ]; }
# Chooses an item of a calculator pop-up menu by pressing Up n times from its end.
calc_choose_from_menu() {
    local button=$1 ups=$2 i
    calc_click "$button"
    sleep 0.5
    for ((i = 0; i < ups; ++i)); do xdotool key Up; sleep 0.1; done
    xdotool key Return
}
# Whether two numbers agree to 1e-6 relative.
calc_near() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; if (d < 0) d = -d; m = b < 0 ? -b : b; exit !(d <= 1e-6 * (m + 1)) }'; }
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
    [ "$(calc_control_row 1352 | cut -d'|' -f5)" = 0 ] || fail "the display shows with an empty expression"
    ! calc_control_enabled 1 || fail "OK is enabled for an empty expression"
    ! calc_control_enabled 1095 || fail "the * key is enabled before an operand"
    calc_control_enabled 1094 || fail "the minus key is not enabled to begin an operand"
    shot empty

    step "2 * clicked on the keypad: OK stays grey and Enter leaves the dialog open"
    calc_click 1082
    wait_for 10 "the 2" tokens_are "2"
    calc_control_enabled 1095 || fail "the * key is grey after a digit"
    calc_control_enabled 1 || fail "OK is grey for the expression 2"
    calc_click 1095
    wait_for 10 "2 *" tokens_are "2 4098"
    ! calc_control_enabled 1 || fail "OK is enabled for the unfinished 2*"
    calc_control_row 1352 | grep -q '|1|1|' || fail "the display is not shown for 2*: $(calc_control_row 1352)"
    xdotool key Return
    sleep 1
    calculator_open "New Calculation" || fail "Enter closed the calculator over an unfinished expression"
    tokens_are "2 4098" || fail "Enter changed the expression: $(calc_tokens)"
    object_count_is -eq 4 || fail "Enter built something: $(ask objects)"

    step "3 typed, then cm from the Units menu"
    xdotool type 3
    wait_for 10 "2 * 3" tokens_are "2 4098 3"
    calc_choose_from_menu 6 4
    wait_for 10 "the unit" token_count_is 4
    calculator_open "New Calculation" || fail "choosing a unit closed the calculator"

    step "+ typed, then the length AB clicked in the sketch, offered while hovered"
    xdotool type +
    wait_for 10 "the plus" token_count_is 5
    local l t r b x y
    read -r l t r b <<<"$(ask bounds 3)"
    read -r x y <<<"$(screen_point $(((l + r) / 2)) $(((t + b) / 2)))"
    local prompt
    prompt=$(ask status)
    xdotool mousemove "$x" "$y"
    sleep 0.3
    xdotool mousemove $((x + 1)) "$y"
    hovered() { [ "$(ask status)" != "$prompt" ]; }
    wait_for 10 "the status line to offer the value under the pointer" hovered
    shot hovered
    xdotool click 1
    wait_for 10 "the length in the expression" token_count_is 6

    step "* typed, then e from the Values menu"
    xdotool type '*'
    wait_for 10 "the times" token_count_is 7
    calc_choose_from_menu 4 1
    wait_for 10 "e" token_count_is 8
    calc_control_enabled 1 || fail "OK is grey for a whole expression: $(calc_tokens)"
    shot whole

    step "OK makes the calculation 2*3 cm + AB*e"
    calc_click 1
    wait_for 20 "the calculation" object_count_is -eq 5
    local want
    want=$(awk -v ab="$ab" 'BEGIN { printf "%.17g\n", 6 + ab * exp(1) }')
    calc_near "$(value_of 4)" "$want" || fail "the calculation is $(value_of 4), not $want"

    step "Undo takes it away, Redo brings it back"
    ask command "$(menu_id $undo_row)" >/dev/null
    wait_for 20 "the calculation gone" object_count_is -eq 4
    ask command "$(menu_id $redo_row)" >/dev/null
    wait_for 20 "the calculation back" object_count_is -eq 5
    calc_near "$(value_of 4)" "$want" || fail "after Redo the calculation is $(value_of 4)"

    step "Cancel makes nothing and adds no undo step"
    local undo
    undo=$(ask undo)
    ask select >/dev/null
    open_calculator 43 "New Calculation"
    xdotool type 5
    wait_for 10 "the 5" tokens_are "5"
    calc_click 2
    wait_for 20 "the calculator to close" no_dialog
    object_count_is -eq 5 || fail "Cancel built something: $(ask objects)"
    [ "$(ask undo)" = "$undo" ] || fail "Cancel changed the undo step: $(ask undo)"
}

# A new calculation typed on the keyboard; waits for it.
new_calculation() {
    local n
    n=$(ask objects | grep -c . || true)
    ask select >/dev/null
    open_calculator 43 "New Calculation"
    xdotool type "$1"
    sleep 0.3
    calc_click 1
    wait_for 20 "the calculation $1" object_count_is -eq $((n + 1))
}
# The screen middle of an object of the front sketch.
calc_object_middle() {
    local l t r b
    read -r l t r b <<<"$(ask bounds "$1")"
    screen_point $(((l + r) / 2)) $(((t + b) / 2))
}

scenario_calculator_edit() {
    start_with_segment
    step "c = 2, and d = c * 3 with c picked in the sketch"
    new_calculation 2
    local c=3 d=4
    calc_near "$(value_of $c)" 2 || fail "c is $(value_of $c)"
    ask select >/dev/null
    open_calculator 43 "New Calculation"
    # shellcheck disable=SC2046
    xdotool mousemove $(calc_object_middle $c) click 1
    wait_for 10 "c in the expression" token_count_is 1
    xdotool type '*3'
    wait_for 10 "c * 3" token_count_is 3
    calc_click 1
    wait_for 20 "d" object_count_is -eq 5
    calc_near "$(value_of $d)" 6 || fail "d is $(value_of $d)"

    step "Edit > Edit Definition... on c: Ctrl+A selects all, 7 replaces it; d follows"
    ask select $c >/dev/null
    open_calculator 105 "Edit *"
    xdotool key ctrl+a
    wait_for 10 "everything selected" calc_selection_is "1 0"
    xdotool type 7
    wait_for 10 "the 7" tokens_are "7"
    calc_click 1
    wait_for 20 "the calculator to close" no_dialog
    calc_near "$(value_of $c)" 7 || fail "c is $(value_of $c) after the edit"
    calc_near "$(value_of $d)" 21 || fail "d did not follow c: $(value_of $d)"

    step "one Undo restores both"
    ask command "$(menu_id $undo_row)" >/dev/null
    restored() { calc_near "$(value_of $c)" 2 && calc_near "$(value_of $d)" 6; }
    wait_for 20 "c = 2 and d = 6 again" restored

    step "a double click on d opens it; End, Backspace and 5 make d = c * 5"
    ask select >/dev/null
    # shellcheck disable=SC2046
    xdotool mousemove $(calc_object_middle $d) click --repeat 2 --delay 80 1
    wait_for 20 "the calculator over d" calculator_open "Edit Calculation"
    tokens_are "$(calc_tokens | cut -d' ' -f1) 4098 3" || fail "d opened as $(calc_tokens)"
    xdotool key End BackSpace
    wait_for 10 "the 3 removed" token_count_is 2
    xdotool type 5
    wait_for 10 "the 5" token_count_is 3
    xdotool key Return
    wait_for 20 "Enter to close the calculator over a whole expression" no_dialog
    calc_near "$(value_of $d)" 10 || fail "d is $(value_of $d) after the double click's edit"
    calc_near "$(value_of $c)" 2 || fail "c changed with d: $(value_of $c)"
}

calc_selection_is() { [ "$(calc_selection)" = "$1" ]; }
# The height of a control of the front dialog.
calc_control_height() {
    local l t r b
    read -r l t r b <<<"$(calc_control_rect "$1")"
    echo $((b - t))
}

scenario_calculator_mouse() {
    start_program
    wait_for 30 "the first document" has_docs 1
    open_calculator 43 "New Calculation"

    step "a press held over 250 ms and dragged across 12+34 selects it; Backspace removes it"
    xdotool type '12+34'
    wait_for 10 "12+34" token_count_is 5
    local l t r b
    read -r l t r b <<<"$(calc_control_rect 1155)"
    xdotool mousemove $((l + 3)) $((t + 12)) mousedown 1
    sleep 0.4
    xdotool mousemove $((l + 60)) $((t + 12))
    sleep 0.2
    xdotool mousemove $((r - 5)) $((t + 12))
    sleep 0.3
    xdotool mouseup 1
    wait_for 10 "the drag's selection" calc_selection_is "5 0"
    xdotool key BackSpace
    wait_for 10 "the selection removed" tokens_are ""

    step "a double click on -12 selects the number with its minus"
    xdotool type '3*-12'
    wait_for 10 "3*-12" token_count_is 5
    xdotool mousemove $((r - 5)) $((t + 12)) click --repeat 2 --delay 80 1
    double_selected() { case "$(calc_selection)" in "5 2" | "2 5") return 0 ;; esac; return 1; }
    wait_for 10 "-12 selected" double_selected
    shot double_click

    step "the splitter stops with the display and the expression area at 36 pixels"
    local display area y
    read -r l t r b <<<"$(calc_control_rect 1358)"
    y=$(( b + ($(calc_control_rect 1155 | cut -d' ' -f2) - b) / 2 ))
    xdotool mousemove $(((l + r) / 2)) "$y" mousedown 1
    for dy in 20 60 120 200; do xdotool mousemove $(((l + r) / 2)) $((y - dy)); sleep 0.1; done
    xdotool mouseup 1
    sleep 0.3
    [ "$(calc_control_height 1358)" = 36 ] || fail "the display frame is $(calc_control_height 1358) high after the drag up"
    read -r l t r b <<<"$(calc_control_rect 1358)"
    y=$(( b + ($(calc_control_rect 1155 | cut -d' ' -f2) - b) / 2 ))
    xdotool mousemove $(((l + r) / 2)) "$y" mousedown 1
    for dy in 20 60 120 200 300; do xdotool mousemove $(((l + r) / 2)) $((y + dy)); sleep 0.1; done
    xdotool mouseup 1
    sleep 0.3
    [ "$(calc_control_height 1155)" = 36 ] || fail "the expression area is $(calc_control_height 1155) high after the drag down"
    shot splitter_down

    step "the grip: a taller dialog gives its height to the display"
    display=$(calc_control_height 1352)
    area=$(calc_control_height 1155)
    read -r l t r b <<<"$(ask dialog-rect)"
    xdotool mousemove $((r - 3)) $((b - 3)) mousedown 1
    for dy in 20 50 80; do xdotool mousemove $((r - 3)) $((b - 3 + dy)); sleep 0.1; done
    xdotool mouseup 1
    grown() { [ "$(calc_control_height 1352)" -eq $((display + 80)) ]; }
    wait_for 10 "the display 80 pixels taller" grown
    [ "$(calc_control_height 1155)" = "$area" ] || fail "the expression area changed: $(calc_control_height 1155), was $area"
    calc_click 2
    wait_for 20 "the calculator to close" no_dialog

    step "editing a derived function by a double click: alert 135, no calculator"
    ask command "$(menu_id 92)" >/dev/null
    wait_for 20 "the calculator \"New Function\"" calculator_open "New Function"
    calc_click 1099
    wait_for 10 "x" token_count_is 1
    xdotool type '*x'
    wait_for 10 "x*x" token_count_is 3
    calc_click 1
    wait_for 20 "the function" object_count_is -ge 1
    local f n
    f=$(($(ask objects | grep -c .) - 1))
    ask select $f >/dev/null
    n=$(ask objects | grep -c . || true)
    ask command "$(menu_id 103)" >/dev/null
    wait_for 20 "the derivative" object_count_is -eq $((n + 1))
    ask select >/dev/null
    local alerts
    alerts=$(alert_count)
    # shellcheck disable=SC2046
    xdotool mousemove $(calc_object_middle $n) click --repeat 2 --delay 80 1
    wait_for 20 "the alert" has_alerts $((alerts + 1))
    [ "$(ask calc)" = none ] || fail "the calculator opened over a derived function"
    ask alerts | tail -n1 | grep -q "derivative of another function" || fail "not the derivatives alert: $(ask alerts | tail -n1)"
    dismiss_alert
}

# The screen rectangle of a control of the front dialog, cropped from a screenshot.
control_image() {
    local l t r b
    read -r l t r b <<<"$(calc_control_rect "$1")"
    import -window root "$work/whole.png"
    convert "$work/whole.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage "$work/$2.png"
}
images_differ() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" != 0 ]; }

scenario_calculator_functions() {
    start_program
    wait_for 30 "the first document" has_docs 1

    step "Graph > Plot New Function...: y = 2 is drawn across the view"
    local n
    n=$(ask objects | grep -c . || true)
    open_calculator 59 "*Function*"
    xdotool type 2
    wait_for 10 "the 2" tokens_are "2"
    calc_click 1
    wait_for 20 "the calculator to close" no_dialog
    wait_for 20 "the plot" object_count_is -gt $((n + 1))
    local plot l t r b x y
    plot=$(($(ask objects | grep -c .) - 1))
    read -r l t r b <<<"$(ask bounds $plot)"
    [ $((r - l)) -gt 100 ] || fail "the plot is $((r - l)) wide: $(ask bounds $plot)"
    y=$(((t + b) / 2))
    plotted() {
        local x sx sy
        for x in $((l + (r - l) / 4)) $(((l + r) / 2)) $((r - (r - l) / 4)); do
            read -r sx sy <<<"$(screen_point "$x" "$y")"
            dark_near_point "$sx" "$sy" || return 1
        done
    }
    wait_for 10 "the line drawn" plotted
    shot plotted

    step "Undo removes it"
    ask command "$(menu_id $undo_row)" >/dev/null
    wait_for 20 "the plot gone" object_count_is -le $plot
    # Away from the vertical axis: the grid's own lines are light.
    unplotted() {
        local x sx sy
        for x in $((l + (r - l) / 4)) $((r - (r - l) / 4)); do
            read -r sx sy <<<"$(screen_point "$x" "$y")"
            ! dark_near_point "$sx" "$sy" || return 1
        done
    }
    wait_for 10 "the line gone" unplotted

    step "Graph > New Function...: r = f(theta) from the E&quation menu changes the variable key"
    open_calculator 92 "New Function"
    calc_control_enabled 1099 || fail "the variable key is grey in a new function"
    control_image 1099 key_first
    calc_choose_from_menu 7 1
    sleep 0.5
    control_image 1099 key_r
    images_differ "$work/key_first.png" "$work/key_r.png" || fail "theta = f(r) left the variable key as it was"
    calc_choose_from_menu 7 2
    sleep 0.5
    control_image 1099 key_theta
    images_differ "$work/key_r.png" "$work/key_theta.png" || fail "r = f(theta) left the variable key showing r"
    calc_click 1099
    wait_for 10 "the variable" tokens_are "15"
    shot polar
    calc_click 2
    wait_for 20 "the calculator to close" no_dialog
}

# Whether a pixel within one above or below a screen point is dark.
dark_near_point() {
    local dy
    import -window root "$work/near.png"
    for dy in -1 0 1; do
        is_dark "$(convert "$work/near.png" -format "%[fx:int(255*p{$1,$(($2 + dy))}.r)],%[fx:int(255*p{$1,$(($2 + dy))}.g)],%[fx:int(255*p{$1,$(($2 + dy))}.b)]" info:)" && return 0
    done
    return 1
}
