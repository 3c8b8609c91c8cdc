# figlate's label command: several points labelled in a typed sequence, one point's label
# shown with its Properties; Shift+Enter stacking captions; "Save As" with Shift; new
# points labelled automatically.

# The line of object I in "ask labels": shown|text.
label_of() { ask labels | sed -n "$(($1 + 1))p"; }
label_is() { [ "$(label_of "$1")" = "$2" ]; }
# The front dialog's control ID: id|class|text|rect|shown|enabled|checked|focus.
control_field() { ask dialog | awk -F'|' -v id="$1" -v f="$2" '$1 == id { print $f; exit }'; }
control_enabled_is() { [ "$(control_field "$1" 6)" = "$2" ]; }
example_is() { [ "$(ask layout-control 1379)" = "$1" ]; }
dialog_title_is() { [ "$(ask dialog | head -n1)" = "$1" ]; }
top_of() { ask bounds "$1" | cut -d' ' -f2; }
bottom_of() { ask bounds "$1" | cut -d' ' -f4; }
left_of() { ask bounds "$1" | cut -d' ' -f1; }
gap_is() { [ $(($(top_of "$2") - $(bottom_of "$1"))) = "$3" ]; }

scenario_release2_labels() {
    program=figlate
    start_program
    wait_for 30 "the first document" has_docs 1

    step "three points selected: the label command opens Label Multiple Objects"
    ask build-segment 50 50 150 80 >/dev/null
    ask build-segment 220 60 300 140 >/dev/null
    # Objects: point, point, segment, point, point, segment.
    ask select 0 1 3 >/dev/null
    wait_for 20 "the label command for several objects" \
        eval 'menu_row 112 | grep -q "^Label &Multiple Objects...|0"'
    ask command "$(menu_id 112)" >/dev/null
    wait_for 20 "the dialog" dialog_title_is "Label Multiple Objects"

    step "A typed: the example; blank greys OK"
    ask dialog-set 1252 A >/dev/null
    wait_for 10 "the example of A" example_is "Example: A, B, C, D, E..."
    ask dialog-set 1252 "   " >/dev/null
    wait_for 10 "OK grey for a blank label" control_enabled_is 1 0
    ask dialog-set 1252 A >/dev/null
    wait_for 10 "OK enabled again" control_enabled_is 1 1
    shot label-dialog
    ask dialog-click 1 >/dev/null
    wait_for 10 "the dialog to close" no_dialog
    labels_now() { ask labels | tr '\n' ' '; }
    local tries=0
    until label_is 0 "1|A"; do
        tries=$((tries + 1))
        [ $tries -lt 50 ] || fail "A on the first point: $(labels_now)"
        sleep 0.2
    done
    label_is 1 "1|B" || fail "the second point: $(labels_now)"
    label_is 3 "1|C" || fail "the third point: $(label_of 3)"

    step "one point: its label shown, Properties on the Label page"
    label_of 4 | grep -q '^0|' || fail "the fourth point's label shows already: $(label_of 4)"
    ask select 4 >/dev/null
    wait_for 20 "the label command for one object" eval 'menu_row 112 | grep -q "^Label Ob&ject...|0"'
    ask command "$(menu_id 112)" >/dev/null
    wait_for 20 "the Properties sheet" eval '[ "$(ask sheet)" != none ]'
    local active
    active=$(ask sheet | head -n1 | cut -d'|' -f2)
    [ "$(ask sheet | sed -n "$((active + 2))p" | cut -d'|' -f1)" = Label ] ||
        fail "not the Label page: $(ask sheet | tr '\n' ' ')"
    label_of 4 | grep -q '^1|' || fail "the label is not shown: $(label_of 4)"
    ask dialog-click 2 >/dev/null
    wait_for 20 "the sheet to close" eval '[ "$(ask sheet)" = none ]'

    step "Shift+Enter stacks two captions, again adds a pixel, Undo restores"
    make_caption 100 200 "First"
    make_caption 300 240 "Second"
    local first second
    first=$(ask objects | awk '$1 == 0 { print NR - 1 }' | sed -n 1p)
    second=$(ask objects | awk '$1 == 0 { print NR - 1 }' | sed -n 2p)
    [ -n "$second" ] || fail "two captions: $(ask objects | tr '\n' ' ')"
    ask select "$first" "$second" >/dev/null
    xdotool key shift+Return
    wait_for 10 "the second under the first, 2 pixels down" gap_is "$first" "$second" 2
    [ "$(left_of "$second")" = "$(left_of "$first")" ] || fail "not aligned: $(ask bounds "$first") / $(ask bounds "$second")"
    xdotool key shift+Return
    wait_for 10 "one more pixel" gap_is "$first" "$second" 3
    shot stacked
    xdotool key ctrl+z
    wait_for 10 "Undo back to 2" gap_is "$first" "$second" 2

    step "Save As reads Save As HTML while Shift is held"
    menu_row 18 | grep -q '^Save &As...|' || fail "Save As: $(menu_row 18)"
    focus_view
    xdotool keydown shift
    wait_for 10 "the Shift text" eval 'menu_row 18 | grep -q "^Save &As HTML...|0"'
    xdotool keyup shift
    wait_for 10 "the plain text again" eval 'menu_row 18 | grep -q "^Save &As...|0"'

    step "automatic labels on: a new point shows its label"
    local id
    id=$(menu_id 74)
    ask command "$id" >/dev/null
    wait_for 20 "the Preferences sheet" pref_sheet_open
    pref_tab Text
    [ "$(pref_checked 1106)" = 0 ] || fail "new points labelled already"
    pref_click 1106
    wait_for 10 "the box checked" eval '[ "$(pref_checked 1106)" = 1 ]'
    ask dialog-click 1 >/dev/null
    wait_for 20 "the sheet to close" eval '! pref_sheet_open'
    pref_new_point 420 120
    wait_for 10 "the new point's label shown" eval 'ask labels | tail -n1 | grep -q "^1|."'
    shot new-point
}
