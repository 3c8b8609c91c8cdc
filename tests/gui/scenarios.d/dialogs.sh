# Scenarios of the dialogs: the alert and the progress window.

# The front dialog's control by identifier: id|class|text|rect|shown|enabled|checked|focus.
dialog_control() { ask dialog | awk -F'|' -v id="$1" '$1 == id'; }
control_shown() { [ "$(dialog_control "$1" | cut -d'|' -f5)" = 1 ]; }
dialog_corner() { ask dialog-rect | cut -d' ' -f1,2; }

scenario_alert_dialog() {
    local seed="$top/fuzz/seeds/document_read_fuzz/one_page"
    local damaged="$work/damaged.yrn"
    head -c 120 "$seed" >"$damaged"
    start_program
    wait_for 30 "the first document" has_docs 1

    step "a damaged file shows the alert, sized to its text, with its one button where OK stands"
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$damaged")"
    wait_for 30 "the alert" has_alerts 1
    wait_for 10 "the alert's message" control_shown 1077
    ask alerts | tail -n1 | grep -q "Document Problem" || fail "not the alert of a damaged file: $(ask alerts)"
    # The engine's problems close with Cancel, in OK's place.
    control_shown 2 || fail "no Cancel button: $(ask dialog)"
    for hidden in 1 6 7 57670; do
        control_shown "$hidden" && fail "button $hidden shows: $(ask dialog)"
    done
    local text_rect ok_rect
    text_rect=$(dialog_control 1077 | cut -d'|' -f4)
    ok_rect=$(dialog_control 2 | cut -d'|' -f4)
    [ "$ok_rect" = "$(dialog_control 1 | cut -d'|' -f4)" ] || fail "Cancel is not in OK's place: $(ask dialog)"
    # The message's field ends above OK, which stands at its right end.
    local text_bottom ok_top text_right ok_right
    text_bottom=$(echo "$text_rect" | cut -d' ' -f4)
    text_right=$(echo "$text_rect" | cut -d' ' -f3)
    ok_top=$(echo "$ok_rect" | cut -d' ' -f2)
    ok_right=$(echo "$ok_rect" | cut -d' ' -f3)
    [ "$text_bottom" -le "$ok_top" ] || fail "the message runs into OK: $text_rect / $ok_rect"
    [ $((ok_right - text_right)) -le 2 ] && [ $((text_right - ok_right)) -le 2 ] \
        || fail "OK is not at the message's right end: $text_rect / $ok_rect"
    shot alert

    step "a drag of the caption moves it; Enter closes it"
    local before after
    before=$(dialog_corner)
    local x y
    read -r x y <<<"$before"
    xdotool mousemove $((x + 60)) $((y + 8)) mousedown 1
    sleep 0.3
    xdotool mousemove $((x + 100)) $((y + 40))
    sleep 0.3
    xdotool mousemove $((x + 160)) $((y + 88))
    sleep 0.3
    xdotool mouseup 1
    moved() { [ "$(dialog_corner)" = "$((x + 100)) $((y + 80))" ]; }
    wait_for 10 "the alert at its new place (from $before, now $(dialog_corner))" moved
    xdotool key Return
    wait_for 10 "the alert to close on Enter" no_dialog

    step "the next alert comes back where the last was left; Esc closes it"
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$damaged")"
    wait_for 30 "the second alert" has_alerts 2
    wait_for 10 "the alert's message" control_shown 1077
    [ "$(dialog_corner)" = "$((x + 100)) $((y + 80))" ] || fail "the alert came back at $(dialog_corner)"
    xdotool key Escape
    wait_for 10 "the alert to close on Esc" no_dialog
    has_docs 1 || fail "documents changed: $(ask docs)"
}

# Clicks the middle of a control of the front dialog with the real mouse.
click_control() {
    local rect l t r b
    rect=$(dialog_control "$1" | cut -d'|' -f4)
    [ -n "$rect" ] || fail "no control $1 in the dialog: $(ask dialog)"
    read -r l t r b <<<"$rect"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
}
dialog_is() { [ "$(ask dialog | head -n1)" = "$1" ]; }

scenario_progress_dialog() {
    local saved="$work/saved.yrn" other="$work/other.yrn"
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 40 40 120 90)" = ok ] || fail "the segment could not be made"
    ask command 57604 >/dev/null
    answer_file_dialog "$(windows_path "$saved")"
    wait_for 30 "the saved file" test -s "$saved"
    cp "$saved" "$other"
    ls "$work" | grep -q '\.tmp$' && fail "the save left a temporary file: $(ls "$work")"
    local saved_sum
    saved_sum=$(file_sum "$saved")

    step "an open lasting over a second shows its progress window; Cancel abandons it"
    ask busy-pause 1500 >/dev/null
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$other")"
    wait_for 20 "the progress window" dialog_is "Opening..."
    control_shown 1205 || fail "no progress bar: $(ask dialog)"
    control_shown 2 || fail "no Cancel button: $(ask dialog)"
    shot opening
    click_control 2
    wait_for 20 "the progress window to go" no_dialog
    wait_for 10 "no document from the cancelled open ($(ask docs | tr "\n" ";"))" has_docs 1

    ls "$work" | grep -q '\.tmp$' && fail "the cancelled open left a temporary file: $(ls "$work")"

    step "a cancelled save leaves the file as it was"
    [ "$(ask build-segment 150 60 220 140)" = ok ] || fail "the second segment could not be made"
    ask command 57603 >/dev/null
    wait_for 20 "the saving window" dialog_is "Saving..."
    click_control 2
    wait_for 20 "the saving window to go" no_dialog
    ask busy-pause 0 >/dev/null
    # The window hides at the click; the save ends at its next update.
    no_temporary() { ! ls "$work" | grep -q '\.tmp$'; }
    wait_for 10 "the save's temporary file to go ($(ls "$work" | tr '\n' ' '))" no_temporary
    if dialog_open; then dismiss_alert; fi
    [ "$(file_sum "$saved")" = "$saved_sum" ] || fail "the cancelled save changed the file"
}

scenario_interactive_dialog() {
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 60 60 200 140)" = ok ] || fail "the segment could not be made"
    ask pick-dialog >/dev/null
    wait_for 20 "the sketch-interactive dialog" dialog_is "Pick Test"

    step "hovering a point of the sketch highlights it; a click picks it"
    local p px py
    p=$(screen_point 200 140)
    read -r px py <<<"$p"
    # The dialog takes the mouse once it is active: move until the hover is seen.
    hover_point() {
        xdotool mousemove $((px + 4)) $((py + 4))
        sleep 0.1
        xdotool mousemove "$px" "$py"
        sleep 0.2
        [ "$(ask hot)" != none ]
    }
    wait_for 10 "a highlighted point" hover_point
    local hot
    hot=$(ask hot)
    [ "$(ask objects | sed -n "$((hot + 1))p" | cut -d' ' -f1)" = "$(ask objects | head -n1 | cut -d' ' -f1)" ] \
        || fail "the highlighted object is no point: $(ask objects | sed -n "$((hot + 1))p")"
    xdotool click 1
    picked() { [ "$(ask picks)" = "$hot" ]; }
    wait_for 10 "the point picked (picks: $(ask picks))" picked
    dialog_is "Pick Test" || fail "the pick closed the dialog"
    step "an empty spot has nothing to highlight"
    p=$(screen_point 20 200)
    # shellcheck disable=SC2086
    xdotool mousemove $p
    nothing_hot() { [ "$(ask hot)" = none ]; }
    wait_for 10 "no highlight over an empty spot" nothing_hot

    step "the size grip grows the dialog and stops at its first size"
    local l t r b
    read -r l t r b <<<"$(ask dialog-rect)"
    local width=$((r - l)) height=$((b - t))
    xdotool mousemove $((r - 4)) $((b - 4)) mousedown 1
    sleep 0.2
    xdotool mousemove $((r + 30)) $((b + 20))
    sleep 0.2
    xdotool mousemove $((r + 60)) $((b + 40)) mouseup 1
    grown() { local a; read -r a _ <<<"$(ask dialog-rect | awk '{ print $3 - $1, $4 - $2 }')"; [ "$a" -gt "$width" ]; }
    wait_for 10 "a wider dialog ($(ask dialog-rect))" grown
    read -r l t r b <<<"$(ask dialog-rect)"
    xdotool mousemove $((r - 4)) $((b - 4)) mousedown 1
    sleep 0.2
    xdotool mousemove $((r - 100)) $((b - 100))
    sleep 0.2
    xdotool mousemove $((l + 5)) $((t + 5)) mouseup 1
    sleep 0.5
    read -r l t r b <<<"$(ask dialog-rect)"
    [ $((r - l)) = "$width" ] && [ $((b - t)) = "$height" ] \
        || fail "the grip went past the first size: $((r - l)) x $((b - t)), first $width x $height"
    shot interactive
    xdotool key Escape
    wait_for 10 "the dialog to close" no_dialog
}
