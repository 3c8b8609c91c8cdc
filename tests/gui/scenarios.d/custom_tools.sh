# Scenarios of custom tools: one made from the selection through the toolbox's
# custom-tool menu and the New Tool dialog, used with clicks, saved and offered again;
# tools of another open document; and the tool folder named on the command line.
# Sourced by tests/gui/scenarios; the menu helpers are program.sh's and first_use.sh's.

# The open pop-up menu's rows (depth|text|id|row|grey|checked), and the position among
# the rows of its depth-0 items of the item with a text.
tool_menu() { ask popup-menu; }
tool_menu_position() { ask popup-menu | awk -F'|' -v text="$1" '$1 == 0 { n++ } $1 == 0 && $2 == text { print n - 1; exit }'; }

# Opens the custom-tool menu by holding the toolbox's custom-tool button.
open_tool_menu() {
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32781) mousedown 1
    wait_for 10 "the custom-tool menu" popup_open
    xdotool mouseup 1
}

# Chooses an item of the open custom-tool menu (depth 0) by its text.
choose_tool_item() {
    local at
    at=$(tool_menu_position "$1")
    [ -n "$at" ] || fail "no item \"$1\" in the custom-tool menu: $(tool_menu | tr '\n' ' ')"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$at" | centre) click 1
}

close_tool_menu() {
    xdotool key Escape
    wait_for 10 "the menu to close" no_popup
}

count_objects() { ask objects | grep -c . || true; }
objects_are() { [ "$(count_objects)" = "$1" ]; }

# Makes a tool of the selection through the menu, naming it in the New Tool dialog.
create_tool_from_menu() {
    open_tool_menu
    choose_tool_item "Create New Tool..."
    wait_for 20 "the New Tool dialog" dialog_open
    local dialog
    dialog=$(ask dialog)
    echo "$dialog" | head -n1 | grep -qx "New Tool" || fail "not the New Tool dialog: $dialog"
    echo "$dialog" | grep -q "^1059|Edit|$1|" || fail "the proposed name is not $1: $dialog"
    ask dialog-click 1 >/dev/null
    wait_for 20 "the dialog to close" no_dialog
}

# Clicks two places of the front view with the current tool.
click_two_places() {
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point "$1" "$2") sleep 0.2 click 1 sleep 0.3
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point "$3" "$4") sleep 0.2 click 1 sleep 0.3
}

scenario_custom_tool_create() {
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    ask select 0 1 2 >/dev/null

    step "Create New Tool... names the tool in the New Tool dialog"
    create_tool_from_menu "Tool #1"
    wait_for 10 "the custom tool current" tool_now 13

    step "the menu lists it under --This Document--, checked"
    open_tool_menu
    local menu
    menu=$(tool_menu)
    echo "$menu" | grep -q '^0|--This Document--|0|-1|1|' || fail "no heading of this document: $(echo "$menu" | tr '\n' ' ')"
    echo "$menu" | grep -q '^0|Tool #1|[0-9]*|-1|0|1$' || fail "the tool is not listed checked: $(echo "$menu" | tr '\n' ' ')"
    close_tool_menu

    step "two clicks build a segment with its endpoints, one undo step"
    click_two_places 100 240 260 280
    wait_for 10 "the tool's segment" objects_are 6
    [ "$(ask undo | sed 's/ *$//')" = "&Undo Tool #1" ] || fail "the undo text: $(ask undo)"
    ask command "$(undo_id)" >/dev/null
    wait_for 10 "one undo to take all three back" objects_are 3
    click_two_places 100 240 260 280
    wait_for 10 "the tool's segment again" objects_are 6
    shot used

    step "saved, closed and opened again, the tool is offered by name"
    local file="$work/kite tools.yrn"
    focus_view
    xdotool key alt+f
    xdotool key a
    answer_file_dialog "$(windows_path "$file")"
    wait_for 30 "the file on disk" test -s "$file"
    ask command $((0xE1C0)) >/dev/null
    wait_for 20 "no document" has_docs 0
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$file")"
    wait_for 30 "the document again" has_docs 1
    open_tool_menu
    menu=$(tool_menu)
    echo "$menu" | grep -q '^0|Tool #1|' || fail "the tool is not offered after reopening: $(echo "$menu" | tr '\n' ' ')"
    choose_tool_item "Tool #1"
    wait_for 10 "the menu to close" no_popup
    wait_for 10 "the custom tool current" tool_now 13
}
