# Plot Table Data in the later release: a table of a parameter and a point's coordinates
# offers the parameter's column and greys the coordinates' one; the buttons follow the
# form; Plot makes the point in a coordinate system fitted to the data, and one Undo takes
# it back; a table without numbers gives the alert. Sourced by tests/gui/scenarios;
# menu_id is program.sh's, control and click_control command_dialogs.sh's.

# Objects of the front sketch made by a construction type.
type_count() { ask objects | awk -v t="$1" '$3 == t' | grep -c . || true; }
popup_up() { [ "$(ask popup-menu)" != none ]; }
popup_down() { [ "$(ask popup-menu)" = none ]; }

# The colours of a band of the screen (x from $1 to $3, y from $2 to $4), one "r,g,b" a
# line, each once.
band_colours() {
    import -window root "$work/band.png"
    convert "$work/band.png" -crop "$(($3 - $1))x$(($4 - $2))+$1+$2" +repage -depth 8 txt:- |
        awk 'NR > 1 { gsub(/[()]/, "", $2); split($2, c, ","); print int(c[1]) "," int(c[2]) "," int(c[3]) }' |
        sort -u
}

scenario_release2_plot_table() {
    program=figlate
    start_program
    wait_for 30 "the first document" has_docs 1

    step "a table of a parameter and the coordinates of a point"
    [ "$(ask build-parameter 500)" = ok ] || fail "the parameter could not be made"
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    ask select 1 >/dev/null
    # The coordinates come with the coordinate system they are measured in (seven objects).
    ask command "$(menu_id 44)" >/dev/null
    wait_for 20 "the coordinates" object_count_is -eq 11
    ask select 0 10 >/dev/null
    ask command "$(menu_id 109)" >/dev/null
    wait_for 20 "the table" object_count_is -eq 12
    ask select 11 >/dev/null
    plot_enabled() { [ "$(menu_row 113)" = "Plot &Table Data...|0|0" ]; }
    wait_for 20 "Plot Table Data enabled in the menus" plot_enabled

    step "the dialog: the y menu greys the coordinates' column"
    ask command "$(menu_id 113)" >/dev/null
    wait_for 20 "the Plot Table Data dialog" dialog_title_is "Plot Table Data"
    [ "$(control_field 1369 3)" = x ] && [ "$(control_field 1370 3)" = y ] ||
        fail "rectangular captions: $(ask dialog)"
    checked 1266 || fail "not rectangular at first: $(ask dialog)"
    click_control 1370
    wait_for 10 "the column menu" popup_up
    # Title, separator, then one owner-drawn item per column: the parameter's chosen, the
    # coordinates' greyed.
    local menu
    menu=$(ask popup-menu)
    echo "$menu" | awk -F'|' 'NR == 1 { exit !($2 == "y" && $5 == 1) }' || fail "the menu's title: $menu"
    echo "$menu" | awk -F'|' '$3 == 2 { found = 1; exit !($5 == 0 && $6 == 1) } END { exit !found }' ||
        fail "the parameter's column is not offered and checked: $menu"
    echo "$menu" | awk -F'|' '$3 == 3 { found = 1; exit !($5 == 1 && $6 == 0) } END { exit !found }' ||
        fail "the coordinates' column is not greyed: $menu"
    # The greyed heading is drawn in the grey text colour and the chosen one in the menu
    # text colour: the last item's band holds grey ink and no black, the one above black.
    local l t r b
    read -r l t r b <<<"$(ask popup-rect 3)"
    [ -n "$b" ] && [ "$l" != none ] || fail "no rectangle of the last item: $(ask popup-rect 3)"
    shot column-menu
    local last above
    last=$(band_colours "$l" "$t" "$r" "$b")
    read -r l t r b <<<"$(ask popup-rect 2)"
    above=$(band_colours "$l" "$t" "$r" "$b")
    echo "$last" | awk -F, '$1 == $2 && $2 == $3 && $1 > 64 && $1 < 224 { found = 1 } END { exit !found }' ||
        fail "no grey heading in the greyed item: $(echo $last)"
    ! echo "$last" | grep -qx '0,0,0' || fail "black ink in the greyed item"
    echo "$above" | grep -qx '0,0,0' || fail "no black heading in the chosen item: $(echo $above)"
    xdotool key Escape
    wait_for 10 "the menu closed" popup_down

    step "Polar renames the buttons, Rectangular names them back; Cancel plots nothing"
    click_control 1267
    polar_named() { [ "$(control_field 1369 3)" = r ] && [ "$(control_field 1370 3)" = theta ]; }
    wait_for 10 "r and theta" polar_named
    click_control 1266
    rect_named() { [ "$(control_field 1369 3)" = x ] && [ "$(control_field 1370 3)" = y ]; }
    wait_for 10 "x and y" rect_named
    click_control 2
    wait_for 10 "the dialog closed" no_dialog
    [ "$(type_count 71)" = 0 ] || fail "Cancel plotted"

    step "a table of the coordinates alone: alert 413"
    ask select 10 >/dev/null
    ask command "$(menu_id 109)" >/dev/null
    wait_for 20 "the second table" object_count_is -eq 13
    ask select 12 >/dev/null
    wait_for 20 "Plot Table Data enabled" plot_enabled
    local alerts
    alerts=$(alert_count)
    ask command "$(menu_id 113)" >/dev/null
    wait_for 20 "the alert" has_alerts $((alerts + 1))
    [ "$(ask alerts | tail -n1)" = "Plot Table Data|That table's columns do not contain plottable numeric data." ] ||
        fail "not the Plot Table Data alert: $(ask alerts | tail -n1)"
    wait_for 10 "the alert's window" dialog_open
    shot alert-413
    ask dialog-click 2 >/dev/null
    wait_for 10 "the alert closed" no_dialog
    [ "$(type_count 71)" = 0 ] || fail "a point was plotted from text"

    step "a new document without a system: Plot makes (500, 500) in a system fitted to it"
    ask command "$(menu_id 22)" >/dev/null
    wait_for 30 "the second document" has_docs 2
    [ "$(ask build-parameter 500)" = ok ] || fail "the parameter could not be made"
    ask select 0 >/dev/null
    ask command "$(menu_id 109)" >/dev/null
    wait_for 20 "the table" object_count_is -eq 2
    ask select 1 >/dev/null
    wait_for 20 "Plot Table Data enabled" plot_enabled
    ask command "$(menu_id 113)" >/dev/null
    wait_for 20 "the Plot Table Data dialog" dialog_title_is "Plot Table Data"
    click_control 1
    wait_for 10 "the dialog closed" no_dialog
    plotted() { [ "$(type_count 71)" = 1 ]; }
    wait_for 20 "the plotted point" plotted
    [ "$(type_count 65)" = 1 ] || fail "no coordinate system: $(ask objects)"
    local x y
    read -r x y <<<"$(ask objects | awk '$3 == 71 { print int($6), int($7) }')"
    [ "$x" -gt 0 ] && [ "$x" -lt 1000 ] && [ "$y" -gt 0 ] && [ "$y" -lt 700 ] ||
        fail "the point at ($x, $y) is outside the window: the system was not fitted"
    [ "$(ask selection)" = "$(ask objects | awk '$3 == 71 { print NR - 1 " " }')" ] ||
        fail "the new point is not the selection: $(ask selection)"
    shot plotted

    step "one Undo takes the point back"
    ask command "$(menu_id 23)" >/dev/null
    unplotted() { [ "$(type_count 71)" = 0 ]; }
    wait_for 20 "the point gone" unplotted
    [ "$(type_count 65)" = 1 ] || fail "the Undo took the system too: $(ask objects)"
}
