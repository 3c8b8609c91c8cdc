# Scenarios of the later release's sketch pictures: its clipboard formats as another
# program finds them, its old-style picture played back, and a busy clipboard. Sourced
# by tests/gui/scenarios; the helpers are clipboard.sh's, program.sh's and first_use.sh's.

scenario_release2_pictures() {
    program=figlate
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    ask select 0 1 2 >/dev/null

    step "Edit > Copy: the pictures first, both kinds, then the objects, in that order"
    click_menu_item 1 98
    wait_for 10 "the objects on the clipboard" clip_has YRN400ScriptFormat
    local order
    order=$(clip list | awk '{ print $2 }' | grep -E '^(CF_ENHMETAFILE|CF_METAFILEPICT|YRN400ScriptFormat)$' | tr '\n' ' ')
    [ "$order" = "CF_ENHMETAFILE CF_METAFILEPICT YRN400ScriptFormat " ] || fail "formats in this order: $(clip list | tr '\n' ' ')"

    step "another program plays the old-style picture: the segment fills it"
    local ink w=400 h=200
    ink=$(clip play-wmf "$w" "$h")
    [ "$ink" != none ] || fail "the old-style picture drew nothing"
    local l t r b
    read -r l t r b <<<"$ink"
    # The segment runs corner to corner of the picture: ink reaches near every edge.
    [ "$l" -lt 40 ] && [ "$t" -lt 40 ] && [ "$r" -gt $((w - 40)) ] && [ "$b" -gt $((h - 40)) ] ||
        fail "the segment does not fill the picture: $ink in $w x $h"

    step "a clipboard held by another program: Copy says so and sets nothing"
    clip put-text marker >/dev/null
    : >"$work/hold.txt"
    timeout 60 wine "$build/figclip.exe" hold 40 >"$work/hold.txt" 2>/dev/null &
    local holder=$!
    holding() { grep -q holding "$work/hold.txt"; }
    wait_for 10 "the helper to hold the clipboard" holding
    [ "$(clip try-open)" = busy ] || fail "the helper does not hold the clipboard"
    click_menu_item 1 98
    message_shown() { ask dialog | grep -q '|Cannot open the clipboard.|'; }
    wait_for 10 "the message" message_shown
    ask dialog-click 1 >/dev/null || ask dialog-click 2 >/dev/null
    wait_for 10 "the message to close" no_dialog
    kill "$holder" 2>/dev/null || true
    wait "$holder" 2>/dev/null || true
    [ "$(clip text)" = marker ] || fail "the clipboard changed: $(clip list | tr '\n' ' ')"
}
