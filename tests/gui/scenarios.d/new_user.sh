# Scenarios of what a new user meets: the recent files, the window menu, Save As, key
# texts and Shift, the document's own commands, scroll dragging and damaged files.
# Sourced by tests/gui/scenarios, which holds the shared helpers.

# The open pop-up menu's item of an identifier: text|grey|check ("" when absent).
popup_item() { ask popup-menu | awk -F'|' -v id="$1" '$3 == id { print $2 "|" $5 "|" $6; exit }'; }
# The menu bar's item of an identifier, wherever it is: text|grey|check.
bar_item() { ask menus | awk -F'|' -v id="$1" '$3 == id { print $2 "|" $5 "|" $6; exit }'; }
bar_item_grey_is() { [ "$(bar_item "$1" | cut -d'|' -f2)" = "$2" ]; }
# The window menu's entries (identifiers from 0xFE00): their texts.
window_entries() { ask menus | awk -F'|' '$3 >= 65024 && $3 < 65535 { print $2 }'; }
# The class library's recent-file commands: 0xE1E0 to 0xE1EF.
recent_first=57824
recent_last=57839
# Opens a pop-up of the menu bar with a click on its title.
open_bar_menu() {
    open_menu_by_click "$1"
}
close_menus() {
    xdotool key Escape Escape
    wait_for 10 "the menus to close" no_popup
}
item_text_is() { [ "$(popup_item "$1" | cut -d'|' -f1)" = "$2" ]; }

# The File menu lists what was saved, not copies; the list survives a restart and opens
# its documents. The window menu names a new window at once; Save As offers the title.
scenario_recent_files_and_titles() {
    local tab=$'\t'
    local file="$work/recent kite.yrn"
    start_program
    wait_for 30 "the first document" has_docs 1

    step "a second window is named in the window menu at once"
    focus_view
    xdotool key ctrl+n
    wait_for 30 "a second document" has_docs 2
    local newest
    newest=$(ask docs | sed -n 2p | cut -d'|' -f1)
    entries_named() {
        local entries
        entries=$(window_entries)
        [ "$(echo "$entries" | grep -c .)" = 2 ] && ! echo "$entries" | grep -qv '^&[0-9] .' &&
            echo "$entries" | grep -qF " $newest"
    }
    wait_for 10 "both window entries with their titles: $(window_entries | tr '\n' ' ')" entries_named

    step "Save As offers the document's own title"
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    local title
    title=$(ask docs | sed -n 2p | cut -d'|' -f1)
    focus_view
    xdotool key alt+f
    xdotool key a
    wait_for 30 "the Save As dialog" dialog_open
    local box=1148
    ask dialog | grep -q '^1152|' && box=1152
    ask dialog | grep -q "^$box|[^|]*|$title.yrn|" ||
        fail "Save As offers $(ask dialog | grep "^$box|"), not $title.yrn"
    ask dialog-click 2 >/dev/null
    wait_for 30 "the dialog to close" no_dialog

    step "a saved document enters the recent files; its copy does not"
    ask command 57604 >/dev/null
    answer_file_dialog "$(windows_path "$file")"
    wait_for 30 "the file on disk" test -s "$file"
    # Opened again while open: it opens as a copy, with a name of no file.
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$file")"
    wait_for 30 "the notice of the copy" has_alerts 1
    dismiss_alert
    wait_for 30 "the copy" has_docs 3
    open_bar_menu 0
    local first
    first=$(popup_item $recent_first | cut -d'|' -f1)
    case "$first" in "&1 "*"recent kite.yrn") ;; *) fail "the first recent file is '$first'" ;; esac
    if ask popup-menu | awk -F'|' -v first=$recent_first -v last=$recent_last '$3 >= first && $3 <= last' | grep -qi copy; then
        fail "a copy entered the recent files: $(ask popup-menu | awk -F'|' -v first=$recent_first -v last=$recent_last '$3 >= first && $3 <= last')"
    fi
    shot recent-files
    close_menus

    step "after a restart the recent file is listed and opens"
    end_program
    wait_for 30 "the program to end" bash -c "! kill -0 $program_pid 2>/dev/null"
    start_program
    wait_for 30 "the first document" has_docs 1
    open_bar_menu 0
    first=$(popup_item $recent_first | cut -d'|' -f1)
    case "$first" in "&1 "*"recent kite.yrn") ;; *) fail "after a restart the first recent file is '$first'" ;; esac
    local at
    at=$(ask popup-menu | awk -F'|' -v id=$recent_first '$1 == 0 { n++ } $1 == 0 && $3 == id { print n - 1 }')
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$at" | centre) click 1
    wait_for 30 "the recent document opened" has_docs 2
    ask docs | grep -q "^recent kite.yrn|" || fail "not the recent document: $(ask docs)"
    [ "$(alert_count)" = 0 ] || fail "opening the recent file alerted: $(ask alerts)"
    : "$tab"
}

# Shift and the key texts, the document's own commands, scroll dragging.
scenario_keys_commands_and_scrolling() {
    local tab=$'\t'
    start_with_segment
    local a b
    a=$(screen_point 100 100)
    b=$(screen_point 260 180)

    step "shift-click selection, Shift released: the Construct menu's key text has no Shift"
    [ "$(ask build-segment 100 220 260 260)" = ok ] || fail "the second segment could not be made"
    wait_for 10 "six objects" object_count_is -eq 6
    local c
    c=$(screen_point 100 220)
    # shellcheck disable=SC2086
    xdotool mousemove $a click 1
    wait_for 10 "the first point selected" selection_is "0 "
    # A third point turns the item's text into the plural while Shift is down.
    # shellcheck disable=SC2086
    xdotool mousemove $b keydown shift click 1 sleep 0.2 mousemove $c click 1
    wait_for 10 "three points selected" selection_is "0 1 3 "
    sleep 0.5
    xdotool keyup shift
    sleep 0.3
    open_bar_menu 3
    local segment
    segment=$(menu_id 3)
    case "$(popup_item "$segment" | cut -d'|' -f1)" in
        *"${tab}Ctrl+L") ;;
        *) fail "the Segment item reads '$(popup_item "$segment")' with Shift up" ;;
    esac
    shot construct-menu
    close_menus

    step "Increase and Decrease Size are enabled while a selected text has a style"
    # A measurement of the segment, selected, gives the Text pop-up something to style.
    focus_view
    ask select 2 >/dev/null
    ask command "$(menu_id 32)" >/dev/null
    wait_for 10 "the segment's length" object_count_is -eq 7
    ask select 6 >/dev/null
    xdotool key alt+d
    wait_for 10 "the Display menu" popup_open
    xdotool key x
    text_popup_open() { ask popup-menu | grep -q '|32892|'; }
    wait_for 10 "the Text pop-up" text_popup_open
    wait_for 10 "Increase Size enabled" bar_item_grey_is 32892 0
    bar_item_grey_is 32893 0 || fail "Decrease Size is grey: $(bar_item 32893)"
    shot text-popup
    close_menus

    step "the stop-all key stops a running animation"
    focus_view
    ask select 0 >/dev/null
    ask command "$(menu_id 26)" >/dev/null
    wait_for 10 "Stop Animation enabled" menu_row_grey_is 66 0
    xdotool key ctrl+backslash
    wait_for 10 "Stop Animation grey again" menu_row_grey_is 66 1

    step "an Alt drag scrolls the sketch with the pointer"
    # The animation moved A: the segment's middle is wherever A and B are now.
    local mx my
    read -r mx my <<<"$(ask objects | sed -n 1,2p | awk '{ x += $6; y += $7 } END { print int(x / 2 + 0.5), int(y / 2 + 0.5) }')"
    local before after bx by ax ay
    before=$(screen_point "$mx" "$my")
    read -r bx by <<<"$before"
    local from to
    from=$(screen_point 300 200)
    to=$(screen_point 340 230)
    # shellcheck disable=SC2086
    xdotool mousemove $from keydown alt mousedown 1 sleep 0.2 mousemove $(screen_point 320 215) sleep 0.1 \
            mousemove $to sleep 0.2 mouseup 1 keyup alt
    xdotool key Escape
    moved() { [ "$(screen_point "$mx" "$my")" != "$before" ]; }
    wait_for 10 "the view to scroll" moved
    after=$(screen_point "$mx" "$my")
    read -r ax ay <<<"$after"
    [ $((ax - bx)) -ge 38 ] && [ $((ax - bx)) -le 42 ] && [ $((ay - by)) -ge 28 ] && [ $((ay - by)) -le 32 ] ||
        fail "the sketch moved from $before to $after, not by (40, 30)"
    # B never moved: its disc is drawn at its new place. A stopped wherever the animation
    # left it, so the line is looked for in the pixel column through the middle, at the
    # row the line passes and one either side (a one-pixel line at a rounded point may
    # miss that point).
    # shellcheck disable=SC2046
    wait_for 10 "B drawn where it moved" dark_at $(screen_point 260 180)
    local row
    row=$(ask objects | sed -n 1,2p | awk -v mx="$mx" '{ x[NR] = $6; y[NR] = $7 }
        END { printf "%.0f\n", y[1] + (y[2] - y[1]) * (mx - x[1]) / (x[2] - x[1]) }')
    # shellcheck disable=SC2046
    wait_for 10 "the segment drawn where it moved" dark_in_column $(screen_point "$mx" "$row")
    shot scrolled
}
# Whether any of the pixels (X, Y - 1), (X, Y), (X, Y + 1) is dark, from one screenshot.
dark_in_column() {
    import -window root "$work/column.png"
    local dy
    for dy in -1 0 1; do
        is_dark "$(convert "$work/column.png" -format "%[fx:int(255*p{$1,$(($2 + dy))}.r)],%[fx:int(255*p{$1,$(($2 + dy))}.g)],%[fx:int(255*p{$1,$(($2 + dy))}.b)]" info:)" &&
            return 0
    done
    return 1
}
menu_row_grey_is() { [ "$(menu_row "$1" | cut -d'|' -f2)" = "$2" ]; }

# Files cut short anywhere are damaged (never another version, never a partial copy);
# problems have a single Cancel button, notices a single OK button.
scenario_damaged_files() {
    local seed="$top/fuzz/seeds/document_read_fuzz/every_kind"
    local newer="$work/newer.yrn" noise="$work/noise.yrn"
    local cuts=(20 300 1200 2100)
    for n in "${cuts[@]}"; do head -c "$n" "$seed" >"$work/cut$n.yrn"; done
    head -c 3000 /dev/urandom >"$noise"
    printf '\x01\x02\x03\x04' | dd of="$noise" bs=1 conv=notrunc status=none
    cp "$top/fuzz/seeds/document_read_fuzz/one_page" "$newer"
    printf '\x05' | dd of="$newer" bs=1 seek=12 conv=notrunc status=none

    start_program
    wait_for 30 "the first document" has_docs 1
    local docs_before
    docs_before=$(ask docs)
    # Opens a file and checks its alert: the text wanted and the one button it shows.
    open_expecting() {
        local path=$1 text=$2 button=$3 other=$4
        local alerts
        alerts=$(alert_count)
        ask command 57601 >/dev/null
        answer_file_dialog "$(windows_path "$path")"
        wait_for 30 "the alert of $(basename "$path")" has_alerts $((alerts + 1))
        ask alerts | tail -n1 | grep -qF "$text" ||
            fail "$(basename "$path"): alert '$(ask alerts | tail -n1)', not '$text'"
        wait_for 10 "the alert's buttons" dialog_open
        local controls
        controls=$(ask dialog)
        # Shown buttons: the alert's template holds every button, the unused ones hidden.
        shown_button() { echo "$controls" | awk -F'|' -v id="$1" '$1 == id && $2 == "Button" && $5 == 1' | grep -q .; }
        shown_button "$button" || fail "$(basename "$path"): no button $button: $controls"
        if shown_button "$other"; then
            fail "$(basename "$path"): a button $other as well: $controls"
        fi
        ask dialog-click "$button" >/dev/null
        wait_for 30 "the alert to close" no_dialog
    }
    for n in "${cuts[@]}"; do
        step "cut at $n bytes: damaged"
        open_expecting "$work/cut$n.yrn" "That document appears to be damaged, and cannot be opened." 2 1
        [ "$(ask docs)" = "$docs_before" ] || fail "a document opened from a file cut at $n bytes: $(ask docs)"
    done
    step "random bytes: not a document"
    open_expecting "$noise" "That document is not a Velmora document." 2 1
    [ "$(ask docs)" = "$docs_before" ] || fail "a document opened from random bytes: $(ask docs)"
    step "a newer document: a notice with OK, and a copy"
    open_expecting "$newer" "Document Notice" 1 2
    wait_for 30 "the copy" has_docs 2
}
