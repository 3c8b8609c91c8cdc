# Scenario of trace fading in both programs: the later release fades the marks through
# intermediate colours to the background, the older dissolve shows only the marks' colour
# or the background; and a second trace brings no old mark back. Sourced by
# tests/gui/scenarios; drag_to is parametric_color.sh's, menu_id program.sh's.

# Samples the screen at sketch point (X, Y) N times as fast as screenshots come; prints
# one "r,g,b" a line.
sample_colours() {
    local p i
    p=$(screen_point "$1" "$2")
    for ((i = 0; i < $3; ++i)); do
        # shellcheck disable=SC2086
        pixel $p
        echo
    done
}

scenario_release2_trace_fading() {
    local pref="$work/pref"
    # Records of a length and a tag in little-endian words: the empty 20001 that opens
    # the file, then 10021, the trace fading, at its fastest (16).
    printf '\x00\x00\x00\x00\x21\x4e\x00\x00\x02\x00\x00\x00\x25\x27\x00\x00\x10\x00' >"$pref"
    for program in figmantle figlate; do
        step "$program: the end point of a segment traced and dragged 100 down"
        start_program -pref "$(windows_path "$pref")"
        wait_for 30 "the first document" has_docs 1
        [ "$(ask build-segment 100 200 300 200)" = ok ] || fail "the segment could not be made"
        ask select 1 >/dev/null
        ask command "$(menu_id 27)" >/dev/null
        ask select >/dev/null
        drag_to 300 200 300
        local colours distinct
        colours=$(sample_colours 300 250 8)
        distinct=$(echo "$colours" | grep -v '^255,255,255$' | sort -u | grep -c . || true)
        if [ "$program" = figlate ]; then
            [ "$distinct" -ge 2 ] || fail "figlate showed no intermediate colour mid-fade: $(echo $colours)"
        else
            [ "$distinct" -le 1 ] || fail "figmantle's dissolve showed more than the marks' colour: $(echo $colours)"
        fi
        mark_gone() { is_white "$(pixel $(screen_point 300 250))"; }
        wait_for 20 "the mark to fade to the background" mark_gone

        step "$program: a second trace brings no old mark back"
        drag_to 300 300 340
        colours=$(sample_colours 300 250 4)
        [ -z "$(echo "$colours" | grep -v '^255,255,255$')" ] || fail "an old mark came back: $(echo $colours)"
        end_program
        wait "$program_pid" 2>/dev/null || true
        program_pid=
    done
}
