# Scenarios of what a new user meets first: constructing with previews and prompts, the
# toolbox bar (tips, fly-by prompts, shown and hidden from the menu, Select All following
# its tool), the text tool's captions, one working pair of scroll bars, and the angle and
# degree signs. Sourced by tests/gui/scenarios, which holds the shared helpers (and the
# menu helpers of program.sh).

status_is() { [ "$(ask status)" = "$1" ]; }
tool_now() { [ "$(ask tool)" = "$1" ]; }
count_of_class() { ask objects | awk -v c="$1" '$1 == c' | grep -c . || true; }
class_count_is() { [ "$(count_of_class "$1")" = "$2" ]; }
undo_is() { [ "$(ask undo)" = "$1" ]; }
toolbox_shown_is() { [ "$(ask toolbox-shown)" = "$1" ]; }
tooltip_has() { ask tooltip | grep -qx "$1"; }
# The open pop-up menu's item of a menu code: its text.
popup_text() { ask popup-menu | awk -F'|' -v row="$1" '$1 == 0 && $4 == row { print $2 }'; }

# Whether any pixel of the square of side 2r+1 around (x, y) is dark.
dark_near() {
    import -window root "$work/near.png"
    local min
    min=$(convert "$work/near.png" -crop "$((2 * $3 + 1))x$((2 * $3 + 1))+$(($1 - $3))+$(($2 - $3))" \
              -colorspace Gray -format "%[fx:int(255*minima)]" info:)
    [ "$min" -lt 128 ]
}

# Opens menu I of the menu bar with the mouse, clicks the item of menu code ROW and waits
# for the menu to close.
click_menu_item() {
    open_menu_by_click "$1"
    local at
    at=$(popup_position "$2")
    [ -n "$at" ] || fail "no item of menu code $2 in the open menu: $(ask popup-menu)"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$at" | centre) click 1
    wait_for 10 "the menu to close" no_popup
}

# Opens menu I and prints the text of the item of menu code ROW; the menu is closed again.
menu_item_text() {
    open_menu_by_click "$1"
    popup_text "$2"
    # The first Escape closes the pop-up, the second leaves the menu bar.
    xdotool key Escape sleep 0.2 key Escape
    wait_for 10 "the menu to close" no_popup
}

scenario_first_construct() {
    start_program
    wait_for 30 "the first document" has_docs 1
    local tab=$'\t'

    step "the toolbox buttons have tips and fly-by prompts, in one column"
    local point custom
    point=$(ask toolbutton 32774)
    custom=$(ask toolbutton 32781)
    [ "${custom%% *}" = "${point%% *}" ] || fail "the custom-tool button stands out of the column: $custom, $point"
    # shellcheck disable=SC2086
    xdotool mousemove $point sleep 0.2 mousemove $(echo $point | awk '{ print $1 + 1, $2 + 1 }')
    wait_for 10 "the point tool's tip" tooltip_has "Point Tool"
    wait_for 10 "the point tool's fly-by prompt" status_is "Draw points"
    # shellcheck disable=SC2086
    xdotool mousemove $custom sleep 0.2 mousemove $(echo $custom | awk '{ print $1 + 1, $2 + 1 }')
    wait_for 10 "the custom tool's tip" tooltip_has "Custom Tool"

    step "Select All follows the current tool"
    [ "$(menu_item_text 1 46)" = "Select &All${tab}Ctrl+A" ] || fail "Select All with the arrow: $(ask popup-menu)"
    # shellcheck disable=SC2086
    xdotool mousemove $point click 1
    wait_for 10 "the point tool" tool_now 4
    [ "$(menu_item_text 1 46)" = "Select &All Points${tab}Ctrl+A" ] ||
        fail "Select All with the point tool: $(ask popup-menu)"

    step "the point tool's provisional point goes when the pointer leaves the sketch"
    local p
    p=$(screen_point 300 200)
    # shellcheck disable=SC2086
    xdotool mousemove $p sleep 0.2 mousemove $(screen_point 310 205)
    wait_for 10 "the provisional point" class_count_is 1 1
    # shellcheck disable=SC2086
    xdotool mousemove $(ask menurect 3 | centre)
    wait_for 10 "the provisional point to go over the menu bar" class_count_is 1 0
    # shellcheck disable=SC2086
    wait_for 10 "nothing drawn where the pointer left" eval '! dark_near $(screen_point 310 205) 3'
    # shellcheck disable=SC2086
    xdotool mousemove $(screen_point 200 150) sleep 0.2 mousemove $(screen_point 210 155)
    wait_for 10 "a provisional point again back in the sketch" class_count_is 1 1
    # shellcheck disable=SC2086
    xdotool mousemove $(ask viewbottom | awk -v x="${point%% *}" '{ print x + 300, $1 + 60 }')
    wait_for 10 "the provisional point to go over the grey area" class_count_is 1 0

    step "the segment tool: a click, then the segment follows the pointer with its prompt"
    # shellcheck disable=SC2086
    xdotool mousemove $(ask toolbutton 32783) click 1
    wait_for 10 "the segment tool" tool_now 6
    local a b
    a=$(screen_point 100 100)
    b=$(screen_point 220 160)
    # shellcheck disable=SC2086
    xdotool mousemove $a sleep 0.2 mousemove $(screen_point 101 101)
    wait_for 10 "the prompt over empty space" status_is "Construct Segment..."
    # shellcheck disable=SC2086
    xdotool click 1 sleep 0.2 mousemove $(screen_point 150 130) sleep 0.1 mousemove $b
    wait_for 10 "a provisional segment" class_count_is 2 1
    # shellcheck disable=SC2086
    wait_for 10 "the provisional segment drawn" dark_at $(screen_point 160 130)
    shot segment-preview
    xdotool click 1
    wait_for 10 "the segment's undo step" undo_is "&Undo Construct Segment"
    [ "$(count_of_class 2)" = 1 ] || fail "not one segment: $(ask objects)"

    step "over a point the prompt names it; the compass drags a circle that follows"
    # shellcheck disable=SC2086
    xdotool mousemove $(screen_point 300 100) sleep 0.2 mousemove $(screen_point 220 161)
    wait_for 10 "the prompt over a point" status_is "...from Point..."
    # shellcheck disable=SC2086
    xdotool mousemove $(ask toolbutton 32775) click 1
    wait_for 10 "the compass tool" tool_now 5
    # shellcheck disable=SC2086
    xdotool mousemove $b sleep 0.2 mousedown 1 sleep 0.2 mousemove $(screen_point 240 160) sleep 0.1 \
            mousemove $(screen_point 260 160)
    wait_for 10 "a provisional circle" class_count_is 3 1
    # shellcheck disable=SC2086
    wait_for 10 "the provisional circle drawn" dark_at $(screen_point 180 160)
    xdotool mouseup 1
    wait_for 10 "the circle's undo step" undo_is "&Undo Construct Circle"
    [ "$(count_of_class 3)" = 1 ] || fail "not one circle: $(ask objects)"
    shot constructed

    step "Hide Toolbox hides the bar and the item then offers to show it"
    local face
    face=$(pixel $point)
    [ "$(menu_item_text 2 76)" = "Hide Tool&box" ] || fail "the item while the bar shows: $(ask popup-menu)"
    click_menu_item 2 76
    wait_for 10 "the bar hidden" toolbox_shown_is 0
    # shellcheck disable=SC2086
    [ "$(pixel $point)" != "$face" ] || fail "the point tool's button is still drawn at $point"
    [ "$(menu_item_text 2 76)" = "Show Tool&box" ] || fail "the item while the bar is hidden: $(ask popup-menu)"
    click_menu_item 2 76
    wait_for 10 "the bar shown" toolbox_shown_is 1
    [ "$(menu_item_text 2 76)" = "Hide Tool&box" ] || fail "the item once the bar is back: $(ask popup-menu)"
}

scenario_first_text_and_scrolling() {
    start_program
    wait_for 30 "the first document" has_docs 1

    step "one pair of scroll bars, the splitter's"
    local bars
    bars=$(ask scrollbars)
    [ "$(echo "$bars" | grep -c '^control H')" = 1 ] && [ "$(echo "$bars" | grep -c '^control V')" = 1 ] &&
        ! echo "$bars" | grep -q '^own' || fail "not one pair of scroll bars: $bars"

    step "the text tool: a double click on empty space makes a caption edited in place"
    # shellcheck disable=SC2086
    xdotool mousemove $(ask toolbutton 32779) click 1
    wait_for 10 "the text tool" tool_now 10
    local at
    at=$(screen_point 150 80)
    # shellcheck disable=SC2086
    xdotool mousemove $at sleep 0.2 mousemove $(screen_point 151 81)
    wait_for 10 "the prompt over empty space" status_is "Double-click to create a caption"
    xdotool click --repeat 2 --delay 80 1
    wait_for 10 "caption editing" eval '[ "$(ask editing)" = 1 ]'
    xdotool type --delay 50 "Hello"
    shot caption-editing
    # shellcheck disable=SC2086
    xdotool mousemove $(screen_point 400 250) click 1
    wait_for 10 "editing to end" eval '[ "$(ask editing)" = 0 ]'
    wait_for 10 "the caption" class_count_is 0 1
    wait_for 10 "the caption's undo step" undo_is "&Undo Construct Caption"
    local x y
    read -r x y <<<"$(ask objects | awk '$1 == 0 { print $6, $7 }')"
    # shellcheck disable=SC2046
    dark_near $(screen_point "$x" "$y") 6 || fail "no text drawn at the caption ($x, $y)"

    step "a double click away and a click on empty space with nothing typed leave nothing"
    # shellcheck disable=SC2086
    xdotool mousemove $(screen_point 300 200) click --repeat 2 --delay 80 1
    wait_for 10 "caption editing" eval '[ "$(ask editing)" = 1 ]'
    # shellcheck disable=SC2086
    xdotool mousemove $(screen_point 420 60) click 1
    wait_for 10 "editing to end" eval '[ "$(ask editing)" = 0 ]'
    [ "$(count_of_class 0)" = 1 ] || fail "an empty caption stayed: $(ask objects)"
    undo_is "&Undo Construct Caption" || fail "an empty caption left an undo step: $(ask undo)"

    step "the angle and degree signs draw from the math symbol font, not as its box"
    local code reply ink differ
    for code in 208 176; do
        reply=$(ask symbol-glyph $code)
        read -r _ ink _ differ <<<"$(echo "$reply" | sed -n 2p)"
        [ "${ink:-0}" -gt 0 ] && [ "${differ:-0}" -gt 0 ] ||
            fail "character $code of the math symbol font draws as its box: $(echo "$reply" | tr '\n' ' ')"
    done

    step "the sketch grows: the one horizontal bar takes the range and scrolls the view"
    [ "$(ask build-segment 100 300 1600 300)" = ok ] || fail "the long segment could not be made"
    wide_range() { ask scrollbars | awk '$1 == "control" && $2 == "H" && $4 > 1500 { ok = 1 } END { exit !ok }'; }
    wait_for 10 "the horizontal range to take the segment" wide_range
    [ "$(ask scrollbars | grep -c '^control H')" = 1 ] || fail "a second horizontal bar: $(ask scrollbars)"
    local before after
    before=$(screen_point 100 100)
    # shellcheck disable=SC2046
    xdotool mousemove $(ask scrollbar-end H) click 1
    moved() { [ "$(screen_point 100 100)" != "$before" ]; }
    wait_for 10 "the view to scroll" moved
    after=$(screen_point 100 100)
    [ "${after%% *}" -lt "${before%% *}" ] || fail "the view did not scroll right: $before -> $after"
    shot scrolled
}
