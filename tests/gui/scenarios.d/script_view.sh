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
# Row N: "l t r b|highlight|separator|given index|object in the tool|colour|line style|traced".
script_row() { script_view | awk -F'|' -v n="  row $1" '$1 == n { print $2 "|" $3 "|" $4 "|" $5 "|" $6 "|" $7 "|" $8 "|" $9 }'; }
row_rect() { script_row "$1" | cut -d'|' -f1; }
# The tool's objects of the given rows, in their order.
given_order() { script_rows | awk -F'|' '$5 >= 0 { printf "%s ", $6 }'; }
row_colour() { script_row "$1" | cut -d'|' -f6; }
row_line_style() { script_row "$1" | cut -d'|' -f7; }
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
    # Separators are 4 pixels high, text rows at least 22.
    script_rows | awk -F'|' '{ split($2, r, " "); h = r[4] - r[2]; if (($4 > 0 && h != 4) || ($4 == 0 && h < 22)) bad = 1 }
        END { exit bad }' || fail "row heights: $(script_rows)"
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
    # shellcheck disable=SC2046
    xdotool mousemove $(frame_rect | awk '{ print $3 - 10, $2 + 10 }') click 1
    wait_for 10 "the bar hidden" script_bar_hidden
    wait_for 10 "the playback stopped" test "$(rows_with_highlight 2)" = 0
    [ "$(rows_with_highlight 1)" = 0 ] || fail "a current row after stopping: $(script_view)"
}

# Drags with the primary button from one screen point to another in small moves.
drag_from_to() {
    local x1=$1 y1=$2 x2=$3 y2=$4 i
    xdotool mousemove "$x1" "$y1" sleep 0.2 mousedown 1 sleep 0.2
    for i in 1 2 3 4 5 6; do
        xdotool mousemove $((x1 + (x2 - x1) * i / 6)) $((y1 + (y2 - y1) * i / 6)) sleep 0.1
    done
    xdotool sleep 0.2 mouseup 1
}

# Right-clicks row N and waits for its menu.
row_menu() {
    # shellcheck disable=SC2046
    xdotool mousemove $(row_point "$1" 30) click 3
    wait_for 10 "the row's menu" popup_open
}

scenario_script_view_editing() {
    start_program
    wait_for 30 "the first document" has_docs 1
    make_two_segment_tool
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    local file="$work/kite.yrn"
    focus_view
    xdotool key alt+f
    xdotool key a
    answer_file_dialog "$(windows_path "$file")"
    wait_for 30 "the file on disk" test -s "$file"
    wait_for 10 "the saved document" doc_modified 0
    local order
    order=$(given_order)

    step "a given dropped on itself changes nothing"
    local x y
    read -r x y <<<"$(row_point 3 30)"
    drag_from_to "$x" "$y" "$x" $((y + 6))
    sleep 0.5
    [ "$(given_order)" = "$order" ] || fail "the givens moved: $order -> $(given_order)"
    doc_modified 0 || fail "the document is modified: $(ask docs)"

    step "typing a comment marks the document modified"
    click_script 1253
    xdotool key End type " Two segments."
    wait_for 10 "the document modified by the comment" doc_modified 1
    focus_view
    xdotool key ctrl+s
    wait_for 20 "the document saved again" doc_modified 0

    step "a given dragged below the others goes last and marks the document modified"
    local below
    read -r _ below <<<"$(row_point 7 30)"
    read -r x y <<<"$(row_point 2 30)"
    drag_from_to "$x" "$y" "$x" "$below"
    local expected
    expected=$(echo "$order" | awk '{ print $2, $3, $4, $1 }')
    moved() { [ "$(given_order)" = "$expected " ]; }
    wait_for 10 "the first given last ($order -> $expected)" moved
    wait_for 10 "the document modified" doc_modified 1
    [ "$(script_view | awk -F'|' '$1 == "  rows" { print $5 }')" = 0 ] || fail "a row stays pressed: $(script_view)"

    step "the splitter stops when the comment is 18 pixels high"
    local top bottom list_top
    read -r _ top _ bottom <<<"$(script_rect 1253)"
    read -r _ list_top _ _ <<<"$(script_rect 1293)"
    read -r x _ <<<"$(script_rect 1253 | centre)"
    drag_from_to "$x" $(((bottom + list_top) / 2)) "$x" $(((bottom + list_top) / 2 + 50))
    local grown
    read -r _ _ _ grown <<<"$(script_rect 1253)"
    [ "$grown" = $((bottom + 50)) ] || fail "the splitter did not follow the mouse down: $bottom -> $grown"
    read -r _ list_top _ _ <<<"$(script_rect 1293)"
    drag_from_to "$x" $(((grown + list_top) / 2)) "$x" $((top - 40))
    read -r _ top _ bottom <<<"$(script_rect 1253)"
    [ $((bottom - top)) = 18 ] || fail "the comment is $((bottom - top)) pixels high: $(script_view)"
    read -r _ list_top _ _ <<<"$(script_rect 1293)"
    [ "$list_top" = $((bottom + 2)) ] || fail "the list does not follow the splitter: $(script_view)"

    step "the floating bar's bottom-right corner makes it larger both ways"
    local l t r b
    read -r l t r b <<<"$(frame_rect)"
    drag_from_to $((r - 2)) $((b - 2)) $((r + 60)) $((b + 120))
    local l2 t2 r2 b2
    read -r l2 t2 r2 b2 <<<"$(frame_rect)"
    [ $((r2 - l2)) -gt $((r - l + 40)) ] && [ $((b2 - t2)) -gt $((b - t + 30)) ] ||
        fail "not larger both ways: $l $t $r $b -> $l2 $t2 $r2 $b2"
    read -r _ _ r _ <<<"$(script_rect 1293)"
    [ "$r" -gt $((r2 - 30)) ] || fail "the list does not follow the bar: $(script_view)"
    shot larger

    step "a swatch from a step's menu recolours it"
    local step_row colour
    step_row=$(script_rows | awk -F'|' '$5 < 0 && $6 >= 0 { sub("  row ", "", $1); print $1; exit }')
    colour=$(row_colour "$step_row")
    row_menu "$step_row"
    tool_menu | grep -q '^0|Pr&operties...|1004|' || fail "no Properties in the row menu: $(tool_menu | tr '\n' ' ')"
    tool_menu | grep -q '^0|&Print...|1006|' || fail "no Print in the row menu: $(tool_menu | tr '\n' ' ')"
    [ "$(script_view | awk -F'|' '$1 == "  rows" { print $5 }')" = "$step_row" ] || fail "the row is not pressed: $(script_view)"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$(tool_menu_position "&Color")" | centre)
    colours_open() { [ -n "$(tool_menu_position "&Other...")" ]; }
    wait_for 10 "the colour swatches" colours_open
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect 5 | centre) sleep 0.2 click 1
    wait_for 10 "the menu to close" no_popup
    recoloured() { [ "$(row_colour "$step_row")" != "$colour" ]; }
    wait_for 10 "the step's new colour" recoloured

    step "Thick from the step's Line Width submenu, checked the next time"
    row_menu "$step_row"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$(tool_menu_position "Line &Width")" | centre)
    widths_open() { [ -n "$(tool_menu_position "Thic&k")" ]; }
    wait_for 10 "the line widths" widths_open
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$(tool_menu_position "Thic&k")" | centre) sleep 0.2 click 1
    wait_for 10 "the menu to close" no_popup
    thick() { [ "$(row_line_style "$step_row")" = 2 ]; }
    wait_for 10 "the step thick" thick
    row_menu "$step_row"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$(tool_menu_position "Line &Width")" | centre)
    wait_for 10 "the line widths again" widths_open
    tool_menu | grep -q '^0|Thic&k|1002|-1|0|1$' || fail "Thick is not checked: $(tool_menu | tr '\n' ' ')"
    xdotool key Escape
    close_tool_menu

    step "a given's menu offers only Properties, Page Setup and Print"
    row_menu 2
    [ "$(tool_menu | awk -F'|' '$1 == 0 && $3 != 0 { print $3 }' | tr '\n' ' ')" = "1004 1005 1006 " ] ||
        fail "the given's menu: $(tool_menu | tr '\n' ' ')"
    close_tool_menu

    step "a double click opens the Properties on its first page, the object's"
    # shellcheck disable=SC2046
    xdotool mousemove $(row_point 2 30) click --repeat 2 --delay 80 1
    opened() { ask dialog-runs | grep -q '^4|'; }
    wait_for 10 "the Properties" opened
    ask dialog-runs | grep '^4|' | head -n1 | cut -d'|' -f3 | awk '{ exit !($2 == 0) }' ||
        fail "not opened on the first page: $(ask dialog-runs)"
    # The sheet itself, when it shows, is cancelled.
    if dialog_open; then
        ask dialog-click 2 >/dev/null
        wait_for 20 "the Properties to close" no_dialog
    fi

    step "the typed comment is kept with the document"
    ask command $((0xE1C0)) >/dev/null
    wait_for 20 "the question to save" dialog_open
    ask dialog-click 6 >/dev/null  # Yes
    wait_for 20 "no document" has_docs 0
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$file")"
    wait_for 30 "the document again" has_docs 1
    open_tool_menu
    choose_tool_item "Tool #1"
    wait_for 10 "the menu to close" no_popup
    open_tool_menu
    choose_tool_item "Show Script View"
    wait_for 10 "the Script View again" script_bar_shown
    [ "$(script_control 1253 | cut -d'|' -f2)" = "Type your comments here. Two segments." ] ||
        fail "the comment was not kept: $(script_control 1253)"
}

scenario_script_view_print() {
    start_print_server
    start_program
    wait_for 30 "the first document" has_docs 1
    make_two_segment_tool

    step "Print from a row's menu hands the script to the printer: one job"
    row_menu 2
    local at
    at=$(tool_menu_position "&Print...")
    [ -n "$at" ] || fail "no Print in the row menu: $(tool_menu | tr '\n' ' ')"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$at" | centre) click 1
    wait_for 30 "the print dialog" print_dialog_open
    ask dialog-click 1 >/dev/null
    wait_for 30 "a job in the default queue" queue_has_jobs FigA 1
    wait_for 30 "the job's data" job_file_ready FigA
    local pages
    pages=$(render_pages "$(last_job_file FigA)" script)
    [ "$pages" = 1 ] || fail "the script printed on $pages pages"
    # The title and the rows leave ink on the page.
    local ink
    ink=$(convert "$work/script-1.png" -colorspace gray -threshold 50% -format '%[fx:int(w*h*(1-mean))]' info:)
    [ "$ink" -gt 500 ] || fail "the printed page is nearly blank ($ink dark pixels)"

    step "Page Setup from a row's menu opens the printer's setup"
    row_menu 2
    at=$(tool_menu_position "Page &Setup...")
    [ -n "$at" ] || fail "no Page Setup in the row menu: $(tool_menu | tr '\n' ' ')"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$at" | centre) click 1
    setup_open() { ask dialog | head -n1 | grep -q 'Setup$'; }
    wait_for 30 "the setup dialog" setup_open
    ask dialog-click 2 >/dev/null
    wait_for 20 "the dialog to close" no_dialog

    step "closing the tool's document empties and hides the view"
    ask command $((0xE1C0)) >/dev/null
    wait_for 20 "the question to save" dialog_open
    ask dialog-click 7 >/dev/null
    wait_for 20 "no document" has_docs 0
    wait_for 10 "the view hidden" script_bar_hidden
    script_visible 1361 && ! script_visible 1293 || fail "the help text is not alone: $(script_view)"
}
