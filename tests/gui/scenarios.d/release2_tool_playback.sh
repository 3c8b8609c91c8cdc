# figlate's custom tools as the user meets them: the status line numbering the given to
# match, and the object a step made lit while the pointer is over its row of the Script
# View. Sourced by tests/gui/scenarios; the tool and Script View helpers are
# custom_tools.sh's and script_view.sh's.

lit_is() { [ "$(ask lit)" = "$1" ]; }
status_matches() { ask status | grep -q "$1"; }

scenario_release2_tool_playback() {
    program=figlate
    start_program
    wait_for 30 "the first document" has_docs 1
    make_two_segment_tool
    local objects

    step "the tool's prompt numbers the given to match"
    local x y
    read -r x y <<<"$(screen_point 380 140)"
    xdotool mousemove "$x" "$y" sleep 0.2 mousemove $((x + 8)) $((y + 8))
    wait_for 10 "the first given's prompt" status_matches '^1\. Match Point .*\.\.\.$'
    xdotool click 1 sleep 0.3 mousemove $((x + 60)) $((y + 30)) sleep 0.2 mousemove $((x + 70)) $((y + 40))
    wait_for 10 "the second given's prompt" status_matches '^2\. Match Point .*\.\.\.$'
    shot prompt
    xdotool key Escape
    wait_for 10 "the run ended" eval '! status_matches Match'
    objects=$(count_objects)

    step "stepping: the object of a done step lights under the pointer"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    ask select 0 3 1 4 >/dev/null
    wait_for 10 "the apply buttons" apply_buttons_shown
    click_script 1346
    wait_for 10 "one segment more" objects_are $((objects + 1))
    wait_for 10 "a done row" test "$(rows_with_highlight 2)" -ge 1
    lit_is "" || fail "lit before the pointer came: $(ask lit)"
    local done_row
    done_row=$(script_rows | awk -F'|' '$3 == 2 && $5 < 0 && $6 >= 0 { sub("  row ", "", $1); print $1; exit }')
    [ -n "$done_row" ] || fail "no done step row: $(script_view)"
    # shellcheck disable=SC2046
    xdotool mousemove $(row_point "$done_row" 30) sleep 0.2 mousemove $(row_point "$done_row" 40)
    wait_for 10 "the made segment lit" lit_is "$objects"
    shot lit
    xdotool mousemove "$x" "$y" sleep 0.2 mousemove $((x + 5)) $((y + 5))
    wait_for 10 "the light out with the pointer gone" lit_is ""
}
