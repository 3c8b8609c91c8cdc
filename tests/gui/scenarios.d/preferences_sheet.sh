# The Preferences sheet as a user meets it: opened through the Edit menu's command, its
# tabs, boxes, buttons and edits clicked and typed into with the real mouse and keys.

# The sheet's caption and active tab, then its tabs; "none" without a sheet.
pref_sheet_open() { [ "$(ask sheet)" != none ]; }
pref_tabs() { ask sheet | sed 1d | cut -d'|' -f1 | paste -sd'|'; }
pref_active() { ask sheet | head -n1 | cut -d'|' -f2; }
# The shown control ID of the front dialog: its line of "ask dialog".
pref_control() { ask dialog | awk -F'|' -v id="$1" '$1 == id && $5 == 1 { print; exit }'; }
pref_text() { pref_control "$1" | cut -d'|' -f3; }
pref_checked() { pref_control "$1" | cut -d'|' -f7; }
pref_centre() {
    local l t r b
    read -r l t r b <<<"$(pref_control "$1" | cut -d'|' -f4)"
    [ -n "$b" ] && echo $(((l + r) / 2)) $(((t + b) / 2))
}
pref_click() {
    local at
    at=$(pref_centre "$1") || fail "no control $1 shown: $(ask dialog | tr '\n' ' ')"
    # shellcheck disable=SC2086
    xdotool mousemove $at click 1
}
# Replaces an edit's text by typing.
pref_type() {
    pref_click "$1"
    xdotool key End shift+Home
    xdotool type --delay 30 "$2"
}
pref_active_is() { [ "$(pref_active)" = "$1" ]; }
pref_apply_to() { echo "$(pref_checked 1263) $(pref_checked 1264)"; }
pref_tab() {
    local l t r b
    read -r l t r b <<<"$(ask sheet | awk -F'|' -v n="$1" 'NR > 1 && $1 == n { print $2 }')"
    [ -n "$b" ] || fail "no tab $1: $(pref_tabs)"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
    local index
    index=$(ask sheet | awk -F'|' -v n="$1" 'NR > 1 && $1 == n { print NR - 2 }')
    wait_for 10 "the $1 page" pref_active_is "$index"
}
# Opens the sheet through Edit > Preferences... (Advanced with Shift held).
pref_open() {
    local id
    if [ "${1:-}" = shift ]; then
        focus_view
        xdotool keydown shift
        sleep 1
    fi
    id=$(menu_id 74)
    [ -n "$id" ] || fail "no Preferences item: $(ask menus | tr '\n' ' ')"
    ask command "$id" >/dev/null
    wait_for 20 "the Preferences sheet" pref_sheet_open
    [ "${1:-}" = shift ] && xdotool keyup shift
    [ "$(ask sheet | head -n1 | cut -d'|' -f1)" = Preferences ] || fail "the sheet's caption: $(ask sheet | head -n1)"
}
pref_close() {
    pref_click "$1"
    wait_for 20 "the sheet to close" eval '! pref_sheet_open'
}
# The colour of the newest object of the front sketch: r,g,b.
pref_last_color() { ask colors | tail -n1 | cut -d' ' -f3; }
pref_new_point() {
    local before
    before=$(ask objects | grep -c . || true)
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32774) click 1
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point "$1" "$2") click 1
    more_objects() { [ "$(ask objects | grep -c .)" -gt "$before" ]; }
    wait_for 10 "a new point" more_objects
}

scenario_preferences_sheet() {
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask units)" = "1 1" ] || fail "a new sketch is not in cm: $(ask units)"
    pref_new_point 120 120
    local red
    red=$(pref_last_color)

    step "three pages on Units; the Apply To pair keeps one box checked"
    pref_open
    [ "$(pref_tabs)" = "Units|Color|Text" ] || fail "the pages: $(pref_tabs)"
    [ "$(pref_active)" = 0 ] || fail "not on Units: $(pref_active)"
    [ "$(pref_apply_to)" = "1 0" ] || fail "Apply To: $(pref_apply_to)"
    pref_click 1263
    wait_for 10 "New Sketches checked when This Sketch is unchecked" eval '[ "$(pref_checked 1264)" = 1 ]'
    [ "$(pref_checked 1263)" = 0 ] || fail "This Sketch stayed checked"
    pref_click 1263
    pref_click 1264
    wait_for 10 "This Sketch alone" eval '[ "$(pref_apply_to)" = "1 0" ]'
    [ "$(pref_text 1108)" = Hundredths ] || fail "the distance precision: $(pref_text 1108)"

    step "F1 and the Help button open the page's help (here without a help folder: the folder browser, cancelled, then its alert)"
    local alerts
    alerts=$(alert_count)
    # The focus on a box of the page, its pair as it was.
    pref_click 1264
    pref_click 1264
    xdotool key F1
    cancel_folder_browser
    wait_for 20 "the help alert after F1" has_alerts $((alerts + 1))
    ask alerts | tail -n1 | grep -q "^Help Not Found|" || fail "another alert: $(ask alerts | tail -n1)"
    ask dialog-click 1 >/dev/null
    wait_for 20 "back on the sheet" eval '[ "$(ask dialog | head -n1)" = Preferences ]'
    pref_click 9
    cancel_folder_browser
    wait_for 20 "the help alert after Help" has_alerts $((alerts + 2))
    ask dialog-click 1 >/dev/null
    wait_for 20 "back on the sheet" eval '[ "$(ask dialog | head -n1)" = Preferences ]'
    [ "$(pref_apply_to)" = "1 0" ] || fail "Apply To after help: $(pref_apply_to)"

    step "inches, Apply To This Sketch, a colour for points, then Cancel: nothing changes"
    ask dialog-select 1110 2 >/dev/null
    pref_tab Color
    pref_click 1008
    wait_for 20 "the colour dialog" eval '[ "$(ask dialog | head -n1)" = "Color Picker" ]'
    pref_type 706 0
    pref_type 707 128
    pref_type 708 255
    pref_click 1
    wait_for 20 "back on the sheet" pref_sheet_open
    local swatch
    swatch=$(pref_centre 1008) || fail "no Points button"
    # shellcheck disable=SC2086
    wait_for 10 "the Points button in the chosen colour" eval '[ "$(pixel $swatch)" = "0,128,255" ]'
    pref_close 2
    [ "$(ask units)" = "1 1" ] || fail "Cancel changed a unit: $(ask units)"
    pref_new_point 160 120
    [ "$(pref_last_color)" = "$red" ] || fail "Cancel changed the point colour: $(pref_last_color)"

    step "the same with OK: this sketch in inches and new points in the chosen colour, a new sketch in cm"
    pref_open
    [ "$(pref_active)" = 1 ] || fail "the sheet did not open on the page it closed on: $(pref_active)"
    pref_click 1008
    wait_for 20 "the colour dialog" eval '[ "$(ask dialog | head -n1)" = "Color Picker" ]'
    pref_type 706 0
    pref_type 707 128
    pref_type 708 255
    pref_click 1
    wait_for 20 "back on the sheet" pref_sheet_open
    pref_tab Units
    ask dialog-select 1110 2 >/dev/null
    pref_close 1
    wait_for 10 "this sketch in inches" eval '[ "$(ask units)" = "2 1" ]'
    pref_new_point 200 120
    [ "$(pref_last_color)" = "0,128,255" ] || fail "the new point's colour: $(pref_last_color)"
    ask command 57600 >/dev/null
    wait_for 30 "a second document" has_docs 2
    [ "$(ask units)" = "1 1" ] || fail "the new sketch took this sketch's unit: $(ask units)"

    step "with Shift: six pages from Export; a sample count above the maximum is refused"
    pref_open shift
    [ "$(pref_tabs)" = "Units|Color|Text|Export|Sampling|System" ] || fail "the pages: $(pref_tabs)"
    [ "$(pref_active)" = 3 ] || fail "not on Export: $(pref_active)"
    pref_tab System
    [ "$(pref_text 1280)" = Symbol ] || fail "the math symbol font: $(pref_text 1280)"
    pref_tab Sampling
    local maximum
    maximum=$(pref_text 1258)
    pref_type 1256 $((maximum + 500))
    pref_click 1
    wait_for 20 "the refusal" eval '[ "$(ask dialog | head -n1)" != Preferences ]'
    local refusal
    refusal=$(ask dialog | awk -F'|' '$2 == "Static" && /between/ { print $3 }')
    [ "$refusal" = "Please type a value between 10 and $maximum" ] || fail "the refusal: $(ask dialog | tr '\n' ' ')"
    ask dialog-click 1 >/dev/null
    wait_for 20 "the refusal to close" eval '[ "$(ask dialog | head -n1)" = Preferences ]'
    [ "$(pref_active)" = 4 ] || fail "the sheet left the Sampling page: $(pref_active)"

    step "a higher maximum typed first lets the larger count through"
    pref_type 1258 $((maximum + 1000))
    pref_type 1256 $((maximum + 500))
    pref_close 1
    pref_open shift
    [ "$(pref_active)" = 4 ] || fail "not on Sampling: $(pref_active)"
    [ "$(pref_text 1256)" = $((maximum + 500)) ] || fail "the locus samples: $(pref_text 1256)"
    [ "$(pref_text 1258)" = $((maximum + 1000)) ] || fail "the maximum: $(pref_text 1258)"

    step "Edit Color Menu... opens on its own layout; Reset All Preferences brings the defaults back"
    pref_tab System
    pref_click 1262
    wait_for 20 "the colour menu's dialog" eval '[ "$(ask dialog | head -n1)" = "Edit Color Menu" ]'
    pref_click 2
    wait_for 20 "back on the sheet" eval '[ "$(ask dialog | head -n1)" = Preferences ]'
    pref_click 1260
    pref_tab Sampling
    [ "$(pref_text 1256)" = 250 ] || fail "the locus samples after the reset: $(pref_text 1256)"
    [ "$(pref_text 1258)" = "$maximum" ] || fail "the maximum after the reset: $(pref_text 1258)"
    pref_tab Units
    [ "$(pref_apply_to)" = "1 1" ] || fail "the reset applies to both: $(pref_apply_to)"
    pref_close 2
}
