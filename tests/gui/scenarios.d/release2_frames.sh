# figlate's frame, bar and dialog revisions as a user meets them: Paste follows another
# program's copy at once (figmantle looks only when it is activated), the System page's
# anti-aliasing choice (hidden without gdiplus.dll, the rows below moved), a document
# window's close box going through the close command, and the floating Motion Controller
# wrapping its buttons by groups when it is narrowed. Sourced by tests/gui/scenarios; the
# menu, clipboard and preferences helpers are program.sh's, clipboard.sh's and
# preferences_sheet.sh's.

paste_formats_are() { [ "$(ask paste-formats)" = "$1" ]; }
# The top edge of a shown control of the front dialog.
control_top() { pref_control "$1" | cut -d'|' -f4 | cut -d' ' -f2; }
control_shown() { [ -n "$(pref_control "$1")" ]; }
# Every control and button of the motion bar lies inside the bar.
motion_inside_bar() {
    local l t r b
    read -r _ _ _ l t r b _ <<<"$(motion_bar)"
    ask bars | sed -n '/^motion /,$p' | sed 1d | awk -F'|' -v l="$l" -v t="$t" -v r="$r" -v b="$b" '
        $1 ~ /^  [0-9]+$/ && $3 != "" { split($3, q, " "); if (q[3] > q[1] && (q[1] < l || q[2] < t || q[3] > r || q[4] > b)) bad = bad " " $1 }
        END { if (bad != "") { print "cut off:" bad; exit 1 } }'
}
motion_bar_height() { motion_bar | awk '{ print $7 - $5 }'; }

# Display > Color > Other... on the selection, then a click on the dialog's Help button;
# alerts is the alert count before.
alerts=0
picker_title=
colour_picker_help() {
    ask command "$(menu_id_of_text '&Other...')" >/dev/null
    wait_for 10 "the colour dialog" dialog_open
    alerts=$(alert_count)
    picker_title=$(ask dialog | head -n1)
    pref_click 1038
}

# Opens the Advanced Preferences on the System page.
system_page_open() {
    pref_open shift
    pref_tab System
}

scenario_release2_frames() {
    program=figlate
    start_program
    wait_for 30 "the first document" has_docs 1

    step "a program in the background copies text: Paste knows it at once, without an activation"
    clip put-text-behind kite >/dev/null
    wait_for 5 "the engine told of the text: $(ask paste-formats)" paste_formats_are "0 1 0 0"
    clip put-dib24 8 8 >/dev/null
    wait_for 5 "the engine told of the picture: $(ask paste-formats)" paste_formats_are "0 0 0 1"

    step "the System page offers the anti-aliasing choice"
    system_page_open
    control_shown 1375 || fail "no anti-aliasing label: $(ask dialog | tr '\n' ' ')"
    control_shown 1281 || fail "no anti-aliasing choice: $(ask dialog | tr '\n' ' ')"
    [ "$(pref_text 1281)" = Never ] || fail "the choice reads: $(pref_text 1281)"
    local font_top resolution_top
    font_top=$(control_top 1377)
    resolution_top=$(control_top 1378)
    pref_close 2

    step "a changed document's close box asks to save; Cancel keeps it"
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    local l t r b
    read -r l t r b <<<"$(ask child-frame)"
    [ -n "$b" ] || fail "no document window: $(ask child-frame)"
    xdotool mousemove $((r - 10)) $((t + 10)) click 1
    wait_for 10 "the save question" dialog_open
    ask dialog | grep -qi save || fail "not a save question: $(ask dialog | tr '\n' ' ')"
    ask dialog-click 2 >/dev/null
    wait_for 10 "the question gone" no_dialog
    has_docs 1 || fail "Cancel closed the document"

    step "while the close command is disabled the close box leaves the window"
    [ "$(ask grey-close)" = ok ] || fail "no Close item to grey"
    xdotool mousemove $((r - 10)) $((t + 10)) click 1
    sleep 2
    no_dialog || fail "a question while Close is disabled: $(ask dialog | tr '\n' ' ')"
    has_docs 1 || fail "the window closed while Close is disabled"

    step "the colour picker's Help button opens help (here without a help folder: the folder is asked for)"
    ask select 0 >/dev/null
    colour_picker_help
    help_asked() { local t; t=$(ask dialog | head -n1); [ -n "$t" ] && [ "$t" != none ] && [ "$t" != "$picker_title" ]; }
    wait_for 10 "help's own window over the colour dialog" help_asked
    # Escape on it, then on the colour dialog.
    xdotool key Escape sleep 1 key Escape sleep 1
    no_dialog || xdotool key Escape
    wait_for 10 "the colour dialog to close" no_dialog

    step "the floating Motion Controller, narrowed, wraps without cutting a control off"
    ask command "$(menu_id 91)" >/dev/null
    wait_for 10 "the Motion Controller" motion_bar_shown
    local height_before
    height_before=$(motion_bar_height)
    read -r _ _ _ l t r b _ <<<"$(motion_bar)"
    xdotool mousemove $((r + 2)) $(((t + b) / 2)) mousedown 1 sleep 0.2 \
            mousemove $((r - 100)) $(((t + b) / 2)) sleep 0.2 mousemove $((r - 260)) $(((t + b) / 2)) sleep 0.2 mouseup 1
    wrapped() { [ "$(motion_bar_height)" -gt "$height_before" ]; }
    wait_for 10 "the bar in more rows: $(motion_bar)" wrapped
    motion_inside_bar || fail "$(motion_inside_bar): $(ask bars | sed -n '/^motion /,$p' | tr '\n' ' ')"
    shot wrapped
    end_program

    step "without gdiplus.dll the choice is hidden and the rows below move down"
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;gdiplus=" start_program
    wait_for 30 "the first document" has_docs 1
    system_page_open
    control_shown 1281 && fail "the anti-aliasing choice shows without GDI+"
    control_shown 1375 && fail "the anti-aliasing label shows without GDI+"
    [ "$(control_top 1377)" = $((font_top + 20)) ] || fail "the font row at $(control_top 1377), was $font_top"
    [ "$(control_top 1378)" = $((resolution_top + 10)) ] || fail "the resolution row at $(control_top 1378), was $resolution_top"
    pref_close 2
}

scenario_release2_frames_figmantle() {
    start_program
    wait_for 30 "the first document" has_docs 1

    step "figmantle hears of another program's copy only when it is activated"
    local before
    before=$(ask paste-formats)
    clip put-text-behind kite >/dev/null
    sleep 2
    [ "$(ask paste-formats)" = "$before" ] || fail "told without an activation: $(ask paste-formats)"
    clip visit >/dev/null
    wait_for 10 "the engine told of the text: $(ask paste-formats)" paste_formats_are "0 1 0 0"

    step "the colour picker's Help button is the system's: no help of ours"
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    ask select 0 >/dev/null
    colour_picker_help
    sleep 2
    [ "$(alert_count)" = "$alerts" ] || fail "figmantle's picker opened our help: $(ask alerts | tail -n1)"
    ask dialog-click 2 >/dev/null
    wait_for 10 "the colour dialog to close" no_dialog

    step "the System page has no anti-aliasing choice"
    system_page_open
    control_shown 1281 && fail "figmantle offers the anti-aliasing choice"
    pref_close 2
}

# The height of item I of the open pop-up menu.
popup_item_height() { ask popup-rect "$1" | awk '{ print $4 - $2 }'; }
# Opens the calculator's Functions menu in the running program; item_height is its first
# function's height.
item_height=
calc_function_item_height() {
    wait_for 30 "the first document" has_docs 1
    open_calculator 43 "New Calculation"
    calc_click 5
    wait_for 10 "the Functions menu" popup_open
    # Item 0 is the menu's title, 1 a separator: 2 is the first function, drawn by the program.
    item_height=$(popup_item_height 2)
    xdotool key Escape
    wait_for 10 "the menu to close" eval '! popup_open'
    ask dialog-click 2 >/dev/null
}

scenario_release2_calculator_menus() {
    step "figmantle's calculator menu items"
    start_program
    local plain
    calc_function_item_height
    plain=$item_height
    end_program

    step "figlate's are 6 pixels taller"
    program=figlate
    start_program
    calc_function_item_height
    [ -n "$plain" ] && [ "$plain" -gt 0 ] || fail "no figmantle item height: $plain"
    [ "$item_height" = $((plain + 6)) ] || fail "figlate's item is $item_height high, figmantle's $plain"
}
