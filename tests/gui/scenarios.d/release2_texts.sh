# The later release takes every text from its string resources: what a user reads in the
# menus, the About box and the alerts is the same in both programs.

# The menu bar until two reads in a row agree (the idle refresh sets texts and greys).
settled_menus() {
    local before after
    before=$(ask menus)
    for _ in $(seq 1 25); do
        sleep 0.4
        after=$(ask menus)
        if [ "$after" = "$before" ] && [ "$(echo "$after" | grep -c .)" -gt 100 ]; then
            echo "$after"
            return 0
        fi
        before=$after
    done
    echo "$after"
}

scenario_release2_texts() {
    local damaged="$work/damaged.yrn"
    head -c 120 "$top/fuzz/seeds/document_read_fuzz/one_page" >"$damaged"
    local which
    for which in figmantle figlate; do
        program=$which
        step "$which: the menu bar with a selected segment"
        start_program
        wait_for 30 "the first document" has_docs 1
        # Only figlate's texts have the later release's own items: proof that it reads
        # its string resources rather than figmantle's tables.
        local own
        own=$(ask group-text 1 196)
        if [ "$which" = figlate ]; then
            [ "$own" = "Save &As HTML..." ] || fail "figlate does not read its string resources: '$own'"
        else
            [ -z "$own" ] || fail "figmantle has a text of figlate's own: '$own'"
        fi
        ask build-segment 50 50 150 80 >/dev/null
        ask select 2 >/dev/null
        wait_for 10 "the segment selected" eval 'ask selection | grep -qx "2 *"'
        # The idle refresh names the selection in the Clear item (menu code 100).
        wait_for 20 "the menus to follow the selection" eval 'menu_row 100 | grep -q "Segment"'
        settled_menus >"$work/menus.$which"
        # Plot Table Data (row 113) is figlate's own command; figmantle has none.
        local plot
        plot=$(awk -F'|' '$4 == 113' "$work/menus.$which")
        if [ "$which" = figlate ]; then
            [ -n "$plot" ] || fail "figlate has no Plot Table Data"
        else
            [ -z "$plot" ] || fail "figmantle has Plot Table Data: $plot"
        fi
        # figlate's own commands (rows 112 and 113) are left out, and with them the
        # identifiers, which number the items in order.
        awk -F'|' '$4 != 112 && $4 != 113 { print $1 "|" $2 "|" $4 "|" $5 "|" $6 }' "$work/menus.$which" \
            >"$work/menus.$which.shared"
        mv "$work/menus.$which.shared" "$work/menus.$which"
        grep -q 'Ctrl+' "$work/menus.$which" || fail "$which: no key names in the menus: $(head -n 20 "$work/menus.$which")"

        step "$which: the About box's first credit page"
        ask command 57664 >/dev/null
        wait_for 10 "the About box" splash_open
        wait_for 10 "a credit page" eval '[ "$(splash_field 13)" = 1 ]'
        # The credits stand still for six seconds: one shot well within them.
        sleep 0.5
        credit_band "credits-$which"
        xdotool windowfocus --sync "$(xdotool search --name '^Velmora' | head -n1)" key shift
        wait_for 10 "the About box to close" splash_closed

        step "$which: a damaged file's alert"
        ask command 57601 >/dev/null
        answer_file_dialog "$(windows_path "$damaged")"
        wait_for 30 "the alert" has_alerts 1
        wait_for 10 "the alert's message" dialog_open
        ask alerts | tail -n1 >"$work/alert.$which"
        # Title, then each control's identifier, class, text and whether it shows.
        ask dialog | awk -F'|' 'NR == 1 { print; next } { print $1 "|" $2 "|" $3 "|" $5 }' >"$work/alert-dialog.$which"
        shot "alert-$which"
        ask dialog-click 2 >/dev/null
        wait_for 30 "the alert to close" no_dialog
        end_program
        program_pid=
    done

    step "the menus and the alert read the same in both programs"
    diff "$work/menus.figmantle" "$work/menus.figlate" >"$work/menus.diff" ||
        fail "menus differ: $(head -c 1500 "$work/menus.diff")"
    compare -metric AE "$work/credits-figmantle.png" "$work/credits-figlate.png" null: 2>/dev/null ||
        fail "the About boxes' credits differ"
    grep -q 'Damaged\|damaged' "$work/alert.figlate" || fail "not the damaged file's alert: $(cat "$work/alert.figlate")"
    diff "$work/alert.figmantle" "$work/alert.figlate" >/dev/null ||
        fail "alerts differ: $(cat "$work/alert.figmantle") / $(cat "$work/alert.figlate")"
    diff "$work/alert-dialog.figmantle" "$work/alert-dialog.figlate" >"$work/alert.diff" ||
        fail "alert windows differ: $(cat "$work/alert.diff")"
}
