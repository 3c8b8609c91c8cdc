# The Document Options dialog as the user meets it: File > Document Options... on a
# document of three pages, with a second open document of two pages to duplicate from.

# A control's line of the front dialog: id|class|text|l t r b|shown|enabled|checked|focus
# (line breaks of a text read as spaces).
docopt_control() {
    ask dialog | tr '\n' '\r' | sed 's/\r\(-\?[0-9]\+|\)/\n\1/g' | tr '\r' ' ' | awk -F'|' -v id="$1" '$1 == id'
}
docopt_field() { docopt_control "$1" | cut -d'|' -f"$2"; }
docopt_shown() { [ "$(docopt_field "$1" 5)" = 1 ]; }
docopt_enabled() { [ "$(docopt_field "$1" 6)" = 1 ]; }
docopt_click() {
    local l t r b
    read -r l t r b <<<"$(docopt_field "$1" 4)"
    [ -n "$l" ] || fail "no control $1 in the dialog: $(ask dialog)"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
}
docopt_is_open() { [ "$(ask dialog | head -n1)" = "Document Options" ]; }
docopt_closed() { ! docopt_is_open; }
# The list's lines as "text,text,..." and the selected line's index.
docopt_lines() { ask list-lines 1181 | awk -F'|' '{ printf "%s%s", sep, $2; sep = "," }'; }
docopt_lines_are() { [ "$(docopt_lines)" = "$1" ]; }
docopt_selected() { ask list-lines 1181 | awk -F'|' '$3 == 1 { print $1 }'; }
docopt_line_rect() { ask list-lines 1181 | awk -F'|' -v i="$1" '$1 == i { print $4 }'; }
docopt_click_line() {
    local l t r b
    read -r l t r b <<<"$(docopt_line_rect "$1")"
    [ -n "$l" ] || fail "no line $1 in the list: $(ask list-lines 1181)"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
}
docopt_double_click_line() {
    local l t r b
    read -r l t r b <<<"$(docopt_line_rect "$1")"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click --repeat 2 --delay 100 1
}
# Drags line $1 with the mouse to the screen point ($2, $3), in small steps.
docopt_drag_line() {
    local l t r b x y step
    read -r l t r b <<<"$(docopt_line_rect "$1")"
    x=$(((l + r) / 2))
    y=$(((t + b) / 2))
    xdotool mousemove "$x" "$y" sleep 0.2 mousedown 1
    for step in 1 2 3 4 5 6; do
        xdotool mousemove "$x" $((y + ($3 - y) * step / 6)) sleep 0.1
    done
    xdotool mouseup 1
}
docopt_tabs() { local t; t=$(ask tabs); t=${t#*|}; echo "${t#*|}"; }
docopt_tabs_are() { [ "$(docopt_tabs)" = "$1" ]; }
docopt_dialog_height() { ask dialog-rect | awk '{ print $4 - $2 }'; }
docopt_open() {
    click_menu_item 0 93
    wait_for 20 "the Document Options dialog" docopt_is_open
}
docopt_rename() {
    ask dialog-set 1154 "" >/dev/null
    docopt_click 1154
    xdotool type --delay 30 "$1"
}
docopt_popup_shown() { [ "$(ask popup-menu)" != none ]; }
docopt_menu_item_shown() { [ "$(ask menu-item-rect "$1")" != none ]; }
# Clicks the item of that text in the open menus (a submenu opens on its item).
docopt_choose() {
    wait_for 10 "the menu item $1" docopt_menu_item_shown "$1"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask menu-item-rect "$1" | centre) sleep 0.3 click 1
}
# Brings the document window whose title holds the text to the front, by the Window menu.
docopt_activate() {
    local id
    id=$(ask menus | awk -F'|' -v t="$1" '$3 >= 65024 && $3 < 65535 && index($2, t) { print $3; exit }')
    [ -n "$id" ] || fail "no window $1 in the Window menu: $(ask menus | tr '\n' ' ')"
    ask command "$id" >/dev/null
    front_title() { ask titles | head -n1 | grep -q "$1"; }
    wait_for 10 "$1 in front" front_title "$1"
}
docopt_question() {
    local caption=$1 answer=$2
    asked() { ask alerts | tail -n1 | grep -q "^$caption|"; }
    wait_for 20 "the question \"$caption\"" asked
    ask dialog-click "$answer" >/dev/null
}

scenario_document_options_dialog() {
    start_program
    wait_for 30 "the first document" has_docs 1

    step "Shapes: a saved document of two unnamed pages"
    [ "$(ask add-page)" = ok ] || fail "no second page in Shapes"
    ask command 57604 >/dev/null
    answer_file_dialog "$(windows_path "$work/Shapes.yrn")"
    wait_for 30 "Shapes saved" test -s "$work/Shapes.yrn"
    local shapes
    shapes=$(ask docs | head -n1 | cut -d'|' -f1)

    step "a new document of three pages, 1, B and C"
    ask command 57600 >/dev/null
    wait_for 30 "the second document" has_docs 2
    [ "$(ask add-page B)" = ok ] && [ "$(ask add-page C)" = ok ] || fail "no pages added"
    wait_for 10 "three tabs" docopt_tabs_are "1|B|C"

    step "File > Document Options... lists the pages, the shown one selected"
    docopt_open
    docopt_lines_are "1,B,C" || fail "the lines: $(ask list-lines 1181)"
    [ "$(docopt_selected)" = 0 ] || fail "not the shown page selected: $(ask list-lines 1181)"
    docopt_shown 1202 && fail "the broken-links group shows without a link button"
    local short
    short=$(docopt_dialog_height)

    step "B renamed Proof shows on its tab once the edit is left"
    docopt_click_line 1
    docopt_rename Proof
    docopt_click_line 0
    wait_for 10 "the tab Proof" docopt_tabs_are "1|Proof|C"
    docopt_lines_are "1,Proof,C" || fail "the lines after renaming: $(docopt_lines)"

    step "over a line the list-line cursor shows"
    local l t r b
    read -r l t r b <<<"$(docopt_line_rect 1)"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) sleep 0.3 mousemove $(((l + r) / 2 + 1)) $(((t + b) / 2))
    cursor_is() { [ "$(ask cursor)" = "$1" ]; }
    wait_for 10 "the list-line cursor" cursor_is list-item

    step "C dropped just below itself changes nothing; dragged above page 1 it becomes page 1"
    read -r l t r b <<<"$(docopt_line_rect 2)"
    docopt_drag_line 2 0 $((b + (b - t) / 2))
    sleep 1
    docopt_lines_are "1,Proof,C" || fail "a drop below itself moved it: $(docopt_lines)"
    read -r l t r b <<<"$(docopt_line_rect 0)"
    docopt_drag_line 2 0 $((t + 2))
    wait_for 10 "C first in the list" docopt_lines_are "C,2,Proof"
    wait_for 10 "C on the first tab" docopt_tabs_are "C|2|Proof"
    [ "$(docopt_selected)" = 0 ] || fail "the moved page is not selected: $(ask list-lines 1181)"

    step "Remove Page removes the selected page"
    docopt_click 1178
    wait_for 10 "two pages" docopt_tabs_are "1|Proof"

    step "Show Page Tabs unchecked hides the tabs"
    strip_shown() { [ "$(ask tabs | cut -d'|' -f2)" = "$1" ]; }
    strip_shown 1 || fail "the tabs are not shown: $(ask tabs)"
    docopt_click 1159
    wait_for 10 "the tabs hidden" strip_shown 0

    step "Cancel restores names, order, count and the tabs"
    docopt_click 2
    wait_for 10 "the dialog to close" docopt_closed
    wait_for 10 "the tabs as before" docopt_tabs_are "1|B|C"
    wait_for 10 "the tabs shown again" strip_shown 1
    [ "$(alert_count)" = 0 ] || fail "Cancel asked something: $(ask alerts)"

    step "the same with OK: Pages Removed, Yes keeps them"
    docopt_open
    docopt_click_line 1
    docopt_rename Proof
    docopt_click_line 0
    docopt_drag_line 2 0 $(($(docopt_line_rect 0 | cut -d' ' -f2) + 2))
    wait_for 10 "C first" docopt_lines_are "C,2,Proof"
    docopt_click 1178
    wait_for 10 "two lines" docopt_lines_are "1,Proof"
    docopt_click 1
    docopt_question "Pages Removed" 6
    wait_for 10 "the dialog to close" docopt_closed
    wait_for 10 "the tabs kept" docopt_tabs_are "1|Proof"

    step "Add Page: Duplicate page 2 of Shapes names it Shapes:2; a blank page follows"
    docopt_open
    docopt_click 1177
    docopt_choose "&Duplicate"
    docopt_choose "$shapes"
    docopt_choose "2"
    wait_for 10 "the copy in the list" docopt_lines_are "1,Proof,Shapes:2"
    [ "$(docopt_selected)" = 2 ] || fail "the copy is not selected: $(ask list-lines 1181)"
    docopt_click 1177
    docopt_choose "&Blank Page"
    wait_for 10 "the blank page in the list" docopt_lines_are "1,Proof,Shapes:2,4"
    docopt_click 1
    wait_for 10 "the dialog to close" docopt_closed
    wait_for 10 "the new tabs" docopt_tabs_are "1|Proof|Shapes:2|4"
    [ "$(alert_count)" = 1 ] || fail "adding pages asked something: $(ask alerts)"

    step "a link button to Shapes:2 on page 4: removing its target shows the broken-links group"
    [ "$(ask build-buttons link-to:3)" = ok ] || fail "no link button to page 3"
    docopt_open
    [ "$(docopt_selected)" = 3 ] || fail "not page 4 selected: $(ask list-lines 1181)"
    docopt_click_line 2
    docopt_click 1178
    wait_for 10 "Shapes:2 removed" docopt_lines_are "1,Proof,3"
    [ "$(docopt_selected)" = 2 ] || fail "not the page after it selected: $(ask list-lines 1181)"
    wait_for 10 "the broken-links group" docopt_shown 1202
    docopt_shown 1200 || fail "no Select Buttons button"
    [ "$(docopt_dialog_height)" -gt "$short" ] || fail "the dialog did not grow: $(docopt_dialog_height) against $short"
    selected_some() { [ -n "$(ask selection | tr -d ' ')" ]; }
    docopt_click 1200
    wait_for 10 "Select Buttons selects the link button" selected_some
    docopt_click_line 0
    wait_for 10 "the group hidden on page 1" eval '! docopt_shown 1202'
    [ "$(docopt_dialog_height)" = "$short" ] || fail "the dialog did not shrink back: $(docopt_dialog_height)"

    step "OK asks Pages Removed, then Broken Link; No brings Shapes:2 back with its name"
    docopt_click 1
    docopt_question "Pages Removed" 6
    docopt_question "Broken Link" 7
    wait_for 10 "the dialog to close" docopt_closed
    wait_for 10 "Shapes:2 back" docopt_tabs_are "1|Proof|Shapes:2|4"

    step "the tools of a document without tools: only the text; Copy Tool grey"
    docopt_open
    docopt_click 1272
    wait_for 10 "the explanation" docopt_shown 1278
    docopt_shown 1181 && fail "the list shows without tools"
    docopt_shown 1154 && fail "the name edit shows without tools"
    [ "$(docopt_field 1177 3)" = "&Copy Tool" ] || fail "the button reads $(docopt_field 1177 3)"
    docopt_enabled 1177 && fail "Copy Tool is enabled with no tool anywhere"
    [ "$(docopt_field 1159 3)" = "Show &Script View" ] || fail "the check box reads $(docopt_field 1159 3)"

    step "back on the pages, a double click on page 2 closes the dialog as OK"
    docopt_click 1273
    wait_for 10 "the pages again" docopt_lines_are "1,Proof,Shapes:2,4"
    docopt_double_click_line 1
    wait_for 10 "the dialog to close" docopt_closed
    page_is() { [ "$(ask docs | awk -F'|' '$4 == 4 { print $5 }')" = "$1" ]; }
    wait_for 10 "page 2 shown" page_is 1

    step "Copy Tool brings in a tool of Shapes; typed over, it is renamed at once"
    docopt_activate Shapes
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    ask select 0 1 2 >/dev/null
    create_tool_from_menu "Tool #1"
    docopt_activate "Untitled 2"
    docopt_open
    docopt_click 1272
    wait_for 10 "the explanation" docopt_shown 1278
    docopt_enabled 1177 || fail "Copy Tool is grey while Shapes has a tool"
    docopt_click 1177
    # The tool menus name a document without its extension.
    docopt_choose "${shapes%.*}"
    docopt_choose "Tool #1"
    wait_for 10 "the tool in the list" docopt_lines_are "Tool #1"
    docopt_shown 1181 || fail "the list is hidden with a tool"
    docopt_rename Apex
    docopt_click 1
    wait_for 10 "the dialog to close" docopt_closed
    [ "$(options_tool_names)" = "Apex" ] || fail "the document's tools: $(options_tool_names)"

    step "saved, then the tools view and OK without an edit: nothing to save"
    ask command 57604 >/dev/null
    answer_file_dialog "$(windows_path "$work/Pages.yrn")"
    wait_for 30 "the document saved" test -s "$work/Pages.yrn"
    front_modified() { [ "$(ask docs | awk -F'|' '$4 == 4 { print $3 }')" = "$1" ]; }
    wait_for 10 "the saved document unmodified" front_modified 0
    docopt_open
    docopt_click 1272
    wait_for 10 "the tool" docopt_lines_are "Apex"
    docopt_click 1154
    docopt_click 1
    wait_for 10 "the dialog to close" docopt_closed
    front_modified 0 || fail "OK without an edit marked the document modified: $(ask docs)"

    step "Show Page Tabs unchecked and OK: the tabs stay hidden and the change is one to save"
    docopt_open
    docopt_click 1159
    docopt_click 1
    wait_for 10 "the dialog to close" docopt_closed
    wait_for 10 "the tabs hidden" strip_shown 0
    front_modified 1 || fail "hiding the tabs left nothing to save: $(ask docs)"
}
