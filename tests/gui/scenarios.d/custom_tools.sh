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

# Opens the submenu of the open custom-tool menu with a title by pointing at it, and
# clicks its first item, the tool of the given name. (While the submenu shows, the hook reads that menu.)
choose_first_in_submenu() {
    local at
    at=$(tool_menu_position "$1")
    [ -n "$at" ] || fail "no submenu \"$1\" in the custom-tool menu: $(tool_menu | tr '\n' ' ')"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$at" | centre)
    submenu_open() { [ -z "$(tool_menu_position "$1")" ] && [ -n "$(tool_menu_position "$2")" ]; }
    wait_for 10 "the submenu of $1" submenu_open "$1" "$2"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect 0 | centre) sleep 0.2 click 1
    wait_for 10 "the menu to close" no_popup
}

scenario_custom_tool_other_document() {
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    ask select 0 1 2 >/dev/null
    create_tool_from_menu "Tool #1"

    step "in a second document the first one's tools sit in its submenu"
    ask command 57600 >/dev/null
    wait_for 20 "a second document" has_docs 2
    open_tool_menu
    local menu
    menu=$(tool_menu)
    echo "$menu" | grep -q '^0|--This Document--|' && fail "the new document has tools: $(echo "$menu" | tr '\n' ' ')"
    echo "$menu" | grep -q '^0|--Other Documents--|0|-1|1|' || fail "no heading of other documents: $(echo "$menu" | tr '\n' ' ')"
    echo "$menu" | grep -q '^0|Untitled 1|0|-1|0|0$' || fail "no submenu of the first document: $(echo "$menu" | tr '\n' ' ')"
    echo "$menu" | grep -q '^1|Tool #1|' || fail "the tool is not in the submenu: $(echo "$menu" | tr '\n' ' ')"
    choose_first_in_submenu "Untitled 1" "Tool #1"
    wait_for 10 "the other document's tool current" tool_now 13
    click_two_places 60 60 200 60
    wait_for 10 "the tool's segment in this document" objects_are 3

    step "closing the document whose tool is current: the toolbox chooses its tool again"
    xdotool key ctrl+F6
    sleep 0.5
    ask command $((0xE1C0)) >/dev/null
    wait_for 20 "the question to save" dialog_open
    ask dialog-click 7 >/dev/null  # No
    wait_for 20 "one document left" has_docs 1
    ask docs | grep -q '^Untitled 2|' || fail "the wrong document was closed: $(ask docs)"
    not_custom() { [ "$(ask tool)" != 13 ]; }
    wait_for 10 "another tool than the closed document's" not_custom
    open_tool_menu
    menu=$(tool_menu)
    echo "$menu" | grep -q 'Tool #1' && fail "the closed document's tool is still offered: $(echo "$menu" | tr '\n' ' ')"
    close_tool_menu
}

scenario_custom_tool_folder() {
    local folder="$work/tools"
    mkdir -p "$folder"
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    ask select 0 1 2 >/dev/null
    create_tool_from_menu "Tool #1"
    step "a tool document saved into the folder"
    focus_view
    xdotool key alt+f
    xdotool key a
    answer_file_dialog "$(windows_path "$folder/Kite Tools.yrn")"
    wait_for 30 "the file on disk" test -s "$folder/Kite Tools.yrn"
    end_program
    wait "$program_pid" 2>/dev/null || true
    local long="An Uncommonly Long Name for a Tool Document ab.yrn"
    [ ${#long} = 50 ] || fail "the long name has ${#long} characters"
    cp "$folder/Kite Tools.yrn" "$folder/$long"
    head -c 300 /dev/urandom >"$folder/Broken.yrn"
    printf 'not a document' >"$folder/Notes.yrn"

    step "started with t naming the folder, the menu lists its documents' tools"
    start_program /t "gui\\custom_tool_folder\\tools"
    wait_for 30 "the first document" has_docs 1
    folder_listed() { [ "$(ask tool-folder | grep -c .)" = 2 ]; }
    wait_for 20 "the scan of the folder's documents" folder_listed
    open_tool_menu
    local menu
    menu=$(tool_menu)
    close_tool_menu
    local titles
    titles=$(echo "$menu" | awk -F'|' '$1 == 0 && $3 == 0 && $4 == -1 && $5 == 0 { print $2 }' | sort | tr '\n' '|')
    [ "$titles" = "An Uncommonly Long Name for a Tool |Kite Tools|" ] ||  # 35 characters
        fail "the folder's submenus: $titles (menu: $(echo "$menu" | tr '\n' ' '))"
    [ "$(alert_count)" = 0 ] || fail "an alert was shown: $(ask alerts)"

    step "a tool of the folder builds its results from clicks"
    open_tool_menu
    choose_first_in_submenu "Kite Tools" "Tool #1"
    wait_for 10 "the folder's tool current" tool_now 13
    click_two_places 60 60 200 60
    wait_for 10 "the tool's segment" objects_are 3
    shot folder-tool
}
