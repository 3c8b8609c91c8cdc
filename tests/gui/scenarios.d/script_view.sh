# The Script View as the user meets it: a custom tool's rows, playing the tool step by
# step, reordering its givens, the row menu, the splitter, sizing the floating bar and
# printing the script. Sourced by tests/gui/scenarios; the custom-tool menu helpers are
# custom_tools.sh's, centre() is program.sh's.

script_view() { ask script-view; }
script_bar_shown() { [ "$(script_view | awk '$1 == "script" { print $2 }')" = 1 ]; }
script_bar_hidden() { [ "$(script_view | awk '$1 == "script" { print $2 }')" = 0 ]; }
# A control of the bar: id|text|rect|enabled|visible.
script_control() { script_view | awk -F'|' -v id="$1" '$1 == "  " id'; }
script_rect() { script_control "$1" | cut -d'|' -f3; }
script_visible() { [ "$(script_control "$1" | cut -d'|' -f5)" = 1 ]; }
script_rows() { script_view | grep '^  row '; }
# Row N: "l t r b|highlight|separator|given index|object in the tool|colour".
script_row() { script_view | awk -F'|' -v n="  row $1" '$1 == n { print $2 "|" $3 "|" $4 "|" $5 "|" $6 }'; }
row_rect() { script_row "$1" | cut -d'|' -f1; }
row_highlight() { script_row "$1" | cut -d'|' -f2; }
row_of_given() { script_rows | awk -F'|' -v g="$1" '$5 == g { sub("  row ", "", $1); print $1; exit }'; }
# The tool's objects of the given rows, in their order.
given_order() { script_rows | awk -F'|' '$5 >= 0 { printf "%s ", $6 }'; }
row_colour() { script_row "$1" | cut -d'|' -f6; }
rows_with_highlight() { script_rows | awk -F'|' -v h="$1" '$3 == h' | grep -c . || true; }
apply_buttons_shown() { script_visible 1346 && script_visible 1356 && ! script_visible 1354; }
status_shown() { script_visible 1354 && ! script_visible 1346; }
frame_rect() { script_view | awk -F'|' '$1 == "  frame" { print $3 }'; }

# Two segments with their four endpoints, all selected, made into a tool "Tool #1";
# the Script View shown through the custom-tool menu.
make_two_segment_tool() {
    [ "$(ask build-segment 100 100 260 100)" = ok ] || fail "the first segment could not be made"
    [ "$(ask build-segment 100 200 260 200)" = ok ] || fail "the second segment could not be made"
    ask select 0 1 2 3 4 5 >/dev/null
    create_tool_from_menu "Tool #1"
    wait_for 10 "the custom tool current" tool_now 13
    open_tool_menu
    choose_tool_item "Show Script View"
    wait_for 10 "the Script View" script_bar_shown
}

# The point inside row N at X pixels from its left edge.
row_point() { row_rect "$1" | awk -v x="$2" '{ print $1 + x, int(($2 + $4) / 2) }'; }
click_script() {
    # shellcheck disable=SC2046
    xdotool mousemove $(script_rect "$1" | centre) click 1
}
doc_modified() { [ "$(ask docs | head -n1 | cut -d'|' -f3)" = "$1" ]; }

scenario_script_view_playback() {
    start_program
    wait_for 30 "the first document" has_docs 1
    script_bar_hidden || fail "the Script View shows at start: $(script_view)"
    make_two_segment_tool

    step "the chosen tool shows its rows: four givens, two steps, the status line"
    [ "$(script_rows | awk -F'|' '$5 >= 0' | grep -c . || true)" = 4 ] || fail "not four given rows: $(script_view)"
    [ "$(script_rows | awk -F'|' '$5 < 0 && $6 >= 0' | grep -c . || true)" = 2 ] || fail "not two step rows: $(script_view)"
    script_visible 1253 && script_visible 1293 && ! script_visible 1361 || fail "the tool's controls: $(script_view)"
    wait_for 10 "the status line" status_shown
    # The floating frame sits at the main frame's top right and sizes from its corners too.
    [ "$(frame_rect | awk '{ print $2 }')" = 47 ] || fail "the floating frame's top: $(script_view)"
    [ "$(script_view | awk -F'|' '$1 == "  frame" { print $4 }')" = 0 ] || fail "corners do not size: $(script_view)"

    step "selecting the givens shows Next Step and All Steps"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    ask select 0 3 1 4 >/dev/null
    wait_for 10 "the apply buttons" apply_buttons_shown

    step "Next Step builds one step: the current row's bracket, the done rows' tint"
    click_script 1346
    wait_for 10 "one segment more" objects_are 7
    wait_for 10 "done rows" test "$(rows_with_highlight 2)" -ge 1
    [ "$(rows_with_highlight 1)" = 1 ] || fail "not one current row: $(script_view)"
    local done_row current_row
    done_row=$(script_rows | awk -F'|' '$3 == 2 { sub("  row ", "", $1); print $1; exit }')
    current_row=$(script_rows | awk -F'|' '$3 == 1 { sub("  row ", "", $1); print $1; exit }')
    shot stepping
    local x y
    read -r x y <<<"$(row_rect "$done_row" | awk '{ print $3 - 3, int(($2 + $4) / 2) }')"
    [ "$(pixel "$x" "$y")" = "153,204,255" ] || fail "the done row is not tinted at $x $y: $(pixel "$x" "$y")"
    read -r x y <<<"$(row_rect "$current_row" | awk '{ print $1 + 1, int(($2 + $4) / 2) }')"
    [ "$(pixel "$x" "$y")" = "255,128,128" ] || fail "no bracket on the current row at $x $y: $(pixel "$x" "$y")"

    step "All Steps builds the rest"
    click_script 1356
    wait_for 10 "both segments" objects_are 8
    wait_for 10 "the end of stepping" test "$(rows_with_highlight 2)" = 0

    step "hiding the bar while stepping stops the playback"
    ask select 0 4 1 3 >/dev/null
    wait_for 10 "the apply buttons again" apply_buttons_shown
    click_script 1346
    wait_for 10 "a step applied" objects_are 9
    wait_for 10 "stepping" test "$(rows_with_highlight 2)" -ge 1
    # The floating frame's close box.
    xdotool mousemove $(frame_rect | awk '{ print $3 - 10, $2 + 10 }') click 1
    wait_for 10 "the bar hidden" script_bar_hidden
    wait_for 10 "the playback stopped" test "$(rows_with_highlight 2)" = 0
    [ "$(rows_with_highlight 1)" = 0 ] || fail "a current row after stopping: $(script_view)"
}
