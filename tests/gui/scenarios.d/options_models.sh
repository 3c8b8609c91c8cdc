# The Preferences sheet and the Document Options dialog as their models take them: the
# test build's dialog script makes the edits the sheet and the dialog will make, and the
# program does the rest (where the settings go, the page tabs, the questions).

options_runs() { ask dialog-runs | grep -c . || true; }
options_has_runs() { [ "$(options_runs)" -ge "$1" ]; }
options_last_run() { ask dialog-runs | tail -n1; }
# The front window's tab texts, without the strip's width and shown flag.
options_tabs() { local t; t=$(ask tabs); t=${t#*|}; echo "${t#*|}"; }
options_tabs_are() { [ "$(options_tabs)" = "$1" ]; }
# Waits up to ten seconds for the tabs to read so.
options_wait_tabs() {
    local deadline=$((SECONDS + 10))
    while ! options_tabs_are "$1"; do
        [ $SECONDS -lt $deadline ] || fail "$2: the tabs read $(ask tabs)"
        sleep 0.3
    done
}
options_units_are() { [ "$(ask units)" = "$1" ]; }

# Runs a menu row's command and waits until its scripted dialog has run.
options_run() {
    local runs id
    runs=$(options_runs)
    id=$(menu_id "$1")
    [ -n "$id" ] || fail "no menu item of row $1: $(ask menus | tr '\n' ' ')"
    ask command "$id" >/dev/null
    wait_for 20 "$2" options_has_runs $((runs + 1))
}

# Answers the question on the screen (6 Yes, 7 No) after checking its caption.
options_answer() {
    wait_for 20 "the question \"$1\"" dialog_open
    ask alerts | tail -n1 | grep -q "^$1|" || fail "another question: $(ask alerts | tail -n1)"
    ask dialog-click "$2" >/dev/null
    wait_for 20 "the question to close" no_dialog
}

scenario_preferences_model() {
    # Preferences of its own, so that what it changes stays out of other scenarios.
    start_program -pref "$(windows_path "$work/pref")"
    wait_for 30 "the first document" has_docs 1
    options_units_are "1 1" || fail "a new sketch is not in cm: $(ask units)"

    step "inches for This Sketch and OK: this sketch in inches, a new sketch still in cm"
    ask dialog-edit 5 ok "unit 2 / apply this" >/dev/null
    options_run 74 "the Preferences sheet"
    [ "$(options_last_run)" = "5|ok|3 0" ] || fail "the sheet opened otherwise: $(options_last_run)"
    wait_for 10 "this sketch in inches" options_units_are "2 1"
    ask command 57600 >/dev/null
    wait_for 30 "a second document" has_docs 2
    options_units_are "1 1" || fail "the new sketch took this sketch's unit: $(ask units)"

    step "pixels for New Sketches only: this sketch unchanged"
    ask dialog-edit 5 ok "unit 0 / apply new" >/dev/null
    options_run 74 "the Preferences sheet again"
    wait_for 10 "new sketches in pixels" options_units_are "1 0"

    step "Cancel changes nothing"
    ask dialog-edit 5 cancel "unit 2 / apply both" >/dev/null
    options_run 74 "the cancelled sheet"
    options_units_are "1 0" || fail "Cancel changed a unit: $(ask units)"

    step "with Shift held the sheet has all six pages, starting on Export"
    ask dialog-edit 5 cancel >/dev/null
    focus_view
    xdotool keydown shift
    sleep 1
    options_run 74 "the advanced sheet"
    xdotool keyup shift
    [ "$(options_last_run)" = "5|cancel|6 3" ] || fail "the advanced sheet opened otherwise: $(options_last_run)"
}

scenario_document_options_model() {
    local file="$work/options pages.yrn"
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask add-page B)" = ok ] && [ "$(ask add-page C)" = ok ] || fail "no pages added"
    options_wait_tabs "1|B|C" "three tabs"

    step "Cancel after renaming, moving, removing and copying: the tabs as before"
    ask dialog-edit 12 cancel "rename 1 Proof / move 2 0 / delete 1 / copy 1" >/dev/null
    options_run 93 "Document Options"
    [ "$(options_last_run)" = "12|cancel|0" ] || fail "the dialog opened otherwise: $(options_last_run)"
    options_wait_tabs "1|B|C" "the tabs as before"
    [ "$(alert_count)" = 0 ] || fail "Cancel asked something: $(ask alerts)"

    step "a page added and removed asks nothing"
    ask dialog-edit 12 ok "copy 0 / delete 3" >/dev/null
    options_run 93 "Document Options, a page added and removed"
    sleep 1
    no_dialog || fail "a question for a page never kept: $(ask dialog | head -n1)"
    options_tabs_are "1|B|C" || fail "the tabs: $(options_tabs)"

    step "a link on page 1 to page 3, page 3 removed: Pages Removed, then Broken Link; No brings page 3 back"
    [ "$(ask build-buttons link-to:3)" = ok ] || fail "no link button to page 3"
    ask dialog-edit 12 ok "delete 2" >/dev/null
    options_run 93 "Document Options, the linked page removed"
    wait_for 20 "the question \"Pages Removed\"" dialog_open
    ask alerts | tail -n1 | grep -q "^Pages Removed|" || fail "another question: $(ask alerts | tail -n1)"
    ask dialog-click 6 >/dev/null
    broken_link_asked() { ask alerts | tail -n1 | grep -q "^Broken Link|"; }
    wait_for 20 "the question \"Broken Link\" after it" broken_link_asked
    options_answer "Broken Link" 7
    options_wait_tabs "1|B|C" "page 3 back with its name"

    step "page 2 renamed Proof, page 3 moved first, page 1 removed, page 2 copied: No keeps all"
    ask dialog-edit 12 ok "rename 1 Proof / move 2 0 / delete 1 / copy 1" >/dev/null
    options_run 93 "Document Options, declined"
    options_answer "Pages Removed" 7
    options_wait_tabs "1|B|C" "the tabs as before"

    step "the same, Yes: the tabs read so, also after save and reopen"
    ask dialog-edit 12 ok "rename 1 Proof / move 2 0 / delete 1 / copy 1" >/dev/null
    options_run 93 "Document Options, accepted"
    options_answer "Pages Removed" 6
    options_wait_tabs "C|Proof|Proof" "the new tabs"
    ask command 57604 >/dev/null
    answer_file_dialog "$(windows_path "$file")"
    wait_for 30 "the saved file" test -s "$file"
    ask command $((0xE1C0)) >/dev/null
    wait_for 20 "no document" has_docs 0
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$file")"
    wait_for 30 "the document again" has_docs 1
    options_wait_tabs "C|Proof|Proof" "the tabs after reopening"
}

# The custom-tool menu's tools of this document, in order, as one line.
options_tool_names() {
    open_tool_menu
    tool_menu | awk -F'|' '$1 == 0 && $2 ~ /^Tool #|^Apex|^Base/ { printf "%s%s", sep, $2; sep = "," }'
    close_tool_menu
}

scenario_document_options_tools() {
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    ask select 0 1 2 >/dev/null
    create_tool_from_menu "Tool #1"
    ask select 0 1 2 >/dev/null
    create_tool_from_menu "Tool #2"
    [ "$(options_tool_names)" = "Tool #1,Tool #2" ] || fail "the tools made: $(options_tool_names)"

    step "Tool Options... opens on the tools; renamed and swapped, then Cancel: as they were"
    ask dialog-edit 12 cancel "tool-rename 0 Apex / tool-rename 1 Base / tool-move 1 0" >/dev/null
    local runs
    runs=$(options_runs)
    open_tool_menu
    choose_tool_item "Tool Options..."
    wait_for 20 "Document Options on its tools" options_has_runs $((runs + 1))
    [ "$(options_last_run)" = "12|cancel|1" ] || fail "the dialog opened otherwise: $(options_last_run)"
    [ "$(options_tool_names)" = "Tool #1,Tool #2" ] || fail "Cancel changed the tools: $(options_tool_names)"

    step "the same with OK: the menu shows them renamed and swapped"
    ask dialog-edit 12 ok "tool-rename 0 Apex / tool-rename 1 Base / tool-move 1 0" >/dev/null
    runs=$(options_runs)
    open_tool_menu
    choose_tool_item "Tool Options..."
    wait_for 20 "Document Options again" options_has_runs $((runs + 1))
    [ "$(options_tool_names)" = "Base,Apex" ] || fail "the tools after OK: $(options_tool_names)"
}

# A preferences file that names a plain face as the math symbol font: the start asks
# whether to choose another, and Yes opens Preferences on System once a document shows.
scenario_preferences_symbol_font() {
    local pref="$work/pref"
    # Two records, each a length and a tag in little-endian words: an empty 20001, then
    # 20017 holding the face name "Arial".
    printf '\x00\x00\x00\x00\x21\x4e\x00\x00\x06\x00\x00\x00\x31\x4e\x00\x00Arial\x00' >"$pref"
    start_program -pref "$(windows_path "$pref")"
    wait_for 30 "the symbol-font question" dialog_open
    ask alerts | tail -n1 | grep -q "^Error|" || fail "not the question: $(ask alerts)"
    ask dialog-edit 5 cancel >/dev/null
    ask dialog-click 6 >/dev/null
    wait_for 30 "the first document" has_docs 1
    wait_for 30 "Preferences on System" options_has_runs 1
    [ "$(options_last_run)" = "5|cancel|6 5" ] || fail "the sheet opened otherwise: $(options_last_run)"
    [ "$(ask alerts | grep -c '^Error|')" = 1 ] || fail "more than the question: $(ask alerts)"
}
