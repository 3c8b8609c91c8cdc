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
# Row N: "l t r b|highlight|separator|given index|object".
script_row() { script_view | awk -F'|' -v n="  row $1" '$1 == n { print $2 "|" $3 "|" $4 "|" $5 "|" $6 }'; }
row_rect() { script_row "$1" | cut -d'|' -f1; }
row_highlight() { script_row "$1" | cut -d'|' -f2; }
row_of_given() { script_rows | awk -F'|' -v g="$1" '$5 == g { sub("  row ", "", $1); print $1; exit }'; }
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

scenario_script_view_playback() {
    start_program
    wait_for 30 "the first document" has_docs 1
    script_bar_hidden || fail "the Script View shows at start: $(script_view)"
    make_two_segment_tool
    step "the chosen tool shows its rows: four givens, two steps"
    local givens
    givens=$(script_rows | awk -F'|' '$5 >= 0' | grep -c . || true)
    [ "$givens" = 4 ] || fail "not four given rows: $(script_view)"
    script_visible 1253 && script_visible 1293 && ! script_visible 1361 || fail "the tool's controls: $(script_view)"
    wait_for 10 "the status line" status_shown
    shot rows
    sleep 1.5
    shot rows2
}
