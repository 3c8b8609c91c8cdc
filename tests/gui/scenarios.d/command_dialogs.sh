# The command dialogs over their engine records, answered by the user's mouse and keys:
# Translate with its live preview, New Parameter, Plot Points and the table data dialogs.

# A control's line of the front dialog: id|class|text|l t r b|shown|enabled|checked|focus.
control() { ask dialog | awk -F'|' -v id="$1" '$1 == id'; }
control_field() { control "$1" | cut -d'|' -f"$2"; }
shown() { [ "$(control_field "$1" 5)" = 1 ]; }
enabled() { [ "$(control_field "$1" 6)" = 1 ]; }
checked() { [ "$(control_field "$1" 7)" = 1 ]; }
dialog_title_is() { [ "$(ask dialog | head -n1)" = "$1" ]; }
click_control() {
    local l t r b
    read -r l t r b <<<"$(control_field "$1" 4)"
    [ -n "$l" ] || fail "no control $1 in the dialog: $(ask dialog)"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
}
# Empties a field and types into it.
type_into() {
    ask dialog-set "$1" "" >/dev/null
    click_control "$1"
    xdotool type --delay 30 "$2"
}
# Closes the refusal's alert with its OK button; leaving the field by the click on OK
# reports it once, and the click then does nothing more.
close_refusals() {
    sleep 0.5
    dialog_title_is "Value Needed" && click_control 1
    sleep 0.5
    ! dialog_title_is "Value Needed" || fail "the refusal was reported again: $(ask alerts | tail -n2)"
}
count() { ask objects | grep -c . || true; }
count_is() { [ "$(count)" = "$1" ]; }
undo_text_has() { ask undo | grep -q "$1"; }
point_line() { ask objects | sed -n "$(($1 + 1))p"; }


scenario_transform_dialogs() {
    start_with_segment
    step "Translate on A: rectangular shows the vertical part, typed values move the preview"
    ask select 0 >/dev/null
    ask command "$(menu_id 10)" >/dev/null
    wait_for 20 "the Translate dialog" dialog_title_is Translate
    click_control 1017
    wait_for 10 "rectangular" checked 1017
    shown 1030 && shown 1050 || fail "the vertical part is hidden: $(ask dialog)"
    ! shown 1032 || fail "the angle part is shown in rectangular mode: $(ask dialog)"
    shown 1055 && ! shown 1056 || fail "the distance edit is not the horizontal one: $(ask dialog)"
    ! enabled 1018 || fail "Marked mode is enabled with no marked vector"
    type_into 1019 1
    type_into 1030 0
    image_level() { point_line 3 | awk '{ exit !($6 > 100.5 && $7 == 100.0) }'; }
    wait_for 10 "the preview level with A" image_level
    type_into 1030 1
    image_higher() { point_line 3 | awk '{ exit !($6 > 100.5 && $7 < 99.5) }'; }
    wait_for 10 "the preview above A at once" image_higher
    local moved
    moved=$(point_line 3)

    step "OK builds the image where the preview was; Undo removes it"
    click_control 1
    wait_for 10 "the dialog closed" no_dialog
    wait_for 10 "the image" count_is 4
    [ "$(point_line 3)" = "$moved" ] || fail "the image is not where the preview was: $(point_line 3) / $moved"
    ask command "$(menu_id 23)" >/dev/null
    wait_for 10 "undone" count_is 3

    step "\"2*\" and OK: Value Needed, the dialog stays; Cancel over it closes and adds nothing"
    ask select 0 >/dev/null
    ask command "$(menu_id 10)" >/dev/null
    wait_for 20 "the Translate dialog" dialog_title_is Translate
    local alerts alerts_after
    alerts=$(alert_count)
    type_into 1019 "2*"
    click_control 1
    wait_for 10 "Value Needed" has_alerts $((alerts + 1))
    ask alerts | tail -n1 | grep -q "Value Needed" || fail "another alert: $(ask alerts | tail -n1)"
    close_refusals
    wait_for 10 "back to Translate" dialog_title_is Translate
    type_into 1019 "2*"
    alerts_after=$(alert_count)
    click_control 2
    wait_for 10 "the dialog closed" no_dialog
    [ "$(alert_count)" = "$alerts_after" ] || fail "Cancel checked the field: $(ask alerts | tail -n1)"
    count_is 3 || fail "Cancel added something: $(ask objects)"

    step "Dilate 1/0: the engine refuses it, no image and no undo step"
    local undo_before
    undo_before=$(ask undo)
    ask select 0 >/dev/null
    ask command "$(menu_id 12)" >/dev/null
    wait_for 20 "the Dilate dialog" dialog_title_is Dilate
    type_into 1038 1
    type_into 1042 0
    click_control 1
    wait_for 10 "an alert" has_alerts $((alerts_after + 1))
    click_control 1
    wait_for 10 "the dialogs closed" no_dialog
    count_is 4 || count_is 3 || fail "objects changed: $(ask objects)"
    [ "$(ask undo)" = "$undo_before" ] || fail "an undo step was added: $(ask undo)"
}

scenario_parameter_and_plot_dialogs() {
    start_program
    wait_for 30 "the first document" has_docs 1
    step "New Parameter: \"3+\" gives Value Needed; 3 with the distance unit makes a parameter"
    ask command "$(menu_id 108)" >/dev/null
    wait_for 20 "the New Parameter dialog" dialog_open
    shown 1305 || fail "no Units group: $(ask dialog)"
    local alerts
    alerts=$(alert_count)
    type_into 1252 "3+"
    click_control 1
    wait_for 10 "Value Needed" has_alerts $((alerts + 1))
    close_refusals
    wait_for 10 "back to the dialog" shown 1305
    type_into 1252 3
    click_control 1268
    label_is_unit() { [ "$(control_field 1306 3)" = "$(control_field 1268 3)" ]; }
    wait_for 10 "the unit label" label_is_unit
    click_control 1
    wait_for 10 "the dialog closed" no_dialog
    wait_for 10 "the parameter" count_is 1
    ask undo | grep -q . || fail "no undo step"

    step "Undo removes it"
    ask command "$(menu_id 23)" >/dev/null
    wait_for 10 "undone" count_is 0

    step "Plot Points: 1, 2 and Enter plot (1, 2), clear the fields and stay"
    ask command "$(menu_id 58)" >/dev/null
    wait_for 20 "the Plot Points dialog" dialog_title_is "Plot Points"
    local before
    before=$(count)
    type_into 1141 1
    type_into 1142 2
    enabled 10 || fail "Plot disabled with both fields filled: $(ask dialog)"
    xdotool key Return
    more_objects() { [ "$(count)" -gt "$before" ]; }
    wait_for 10 "the plotted point" more_objects
    empty_fields() { [ -z "$(control_field 1141 3)" ] && [ -z "$(control_field 1142 3)" ]; }
    wait_for 10 "the fields cleared" empty_fields
    dialog_title_is "Plot Points" || fail "the dialog closed"
    ! enabled 10 || fail "Plot enabled with empty fields"

    step "a refused x plots nothing and keeps the fields"
    before=$(count)
    alerts=$(alert_count)
    type_into 1142 2
    type_into 1141 "1+"
    click_control 10
    wait_for 10 "Value Needed" has_alerts $((alerts + 1))
    close_refusals
    wait_for 10 "back to Plot Points" dialog_title_is "Plot Points"
    [ "$(count)" = "$before" ] || fail "a refused field plotted: $(ask objects)"
    [ "$(control_field 1142 3)" = 2 ] || fail "the typed y was lost: $(ask dialog)"

    step "polar shows the angle unit; Enter on empty fields closes"
    type_into 1141 1
    click_control 1140
    closing_polar() { control_field 1143 3 | grep -q " )"; }
    wait_for 10 "the polar closing label" closing_polar
    local closing
    closing=$(control_field 1143 3)
    [ "$closing" = "rad )" ] || [ "$closing" = $'\xb0 )' ] || fail "closing label: $closing"
    ask dialog-set 1141 "" >/dev/null
    ask dialog-set 1142 "" >/dev/null
    click_control 1141
    xdotool key Return
    wait_for 10 "the dialog closed" no_dialog
}

scenario_table_data_dialogs() {
    start_with_segment
    step "Tabulate a length"
    ask select 0 1 >/dev/null
    ask command "$(menu_id 33)" >/dev/null
    wait_for 20 "the distance" count_is 4
    ask select 3 >/dev/null
    ask command "$(menu_id 109)" >/dev/null
    wait_for 20 "the table" count_is 5

    step "Add Table Data: Add enables the fields at once; a letter in the count is refused"
    ask select 4 >/dev/null
    ask command "$(menu_id 110)" >/dev/null
    wait_for 20 "the Add Table Data dialog" dialog_title_is "Add Table Data"
    ! enabled 1252 || fail "the count is enabled with Add One Entry Now: $(ask dialog)"
    click_control 1267
    wait_for 10 "the count enabled" enabled 1252
    enabled 1253 || fail "the interval stayed disabled"
    type_into 1252 "3x"
    [ "$(control_field 1252 3)" = 3 ] || fail "the count took a letter: $(control_field 1252 3)"
    type_into 1253 0.5
    click_control 1
    wait_for 10 "the dialog closed" no_dialog

    step "a real drag of B adds three entries"
    local x y rows
    rows=$(ask table-rows)
    read -r x y <<<"$(screen_point 260 180)"
    xdotool mousemove "$x" "$y" mousedown 1
    for i in $(seq 1 30); do xdotool mousemove $((x + i * 2)) $((y + i)); sleep 0.1; done
    xdotool mouseup 1
    three_more() { [ "$(ask table-rows)" = $((rows + 3)) ]; }
    wait_for 10 "three rows added to $rows" three_more

    step "Remove Table Data > Remove All"
    ask select 4 >/dev/null
    ask command "$(menu_id 111)" >/dev/null
    wait_for 20 "the Remove Table Data dialog" dialog_title_is "Remove Table Data"
    checked 1366 || fail "Remove Last Entry is not the first choice"
    click_control 1367
    wait_for 10 "Remove All chosen" checked 1367
    click_control 1
    wait_for 10 "the dialog closed" no_dialog
    emptied() { [ "$(ask table-rows)" = "$rows" ]; }
    wait_for 10 "the table back to its $rows rows" emptied
}
