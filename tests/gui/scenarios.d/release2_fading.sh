# Scenarios of trace fading in both programs: on true-colour screens (24 and 16 bits) the
# later release fades the marks through intermediate colours to the background, the older
# dissolve shows only the marks' colour or the background; at 256 colours both dissolve,
# toward a dark background too; and a second trace brings no old mark back. Sourced by
# tests/gui/scenarios; drag_to is parametric_color.sh's, menu_id program.sh's,
# paint_selection clipboard.sh's.

# Samples the 7 by 7 box around sketch point (X, Y) N times as fast as screenshots come;
# prints the colours ("r,g,b") of each shot on one line, the same colour once.
sample_colours() {
    local sx sy i
    read -r sx sy <<<"$(screen_point "$1" "$2")"
    for ((i = 0; i < $3; ++i)); do
        import -window root "$work/box.png"
        convert "$work/box.png" -crop "7x7+$((sx - 3))+$((sy - 3))" +repage -depth 8 txt:- |
            awk 'NR > 1 { c = $2; gsub(/[()]/, "", c); split(c, v, ","); print v[1] "," v[2] "," v[3] }' |
            sort -u | tr '\n' ' '
        echo
    done
}

# Both programs on the screen DISPLAY names: the end point of a segment traced and
# dragged 100 down, the colours sampled mid-fade near the drag's end, then the mark's
# fading to the background and a second trace. $1 "blends" when figlate fades through
# intermediate colours at this depth; $2 the trace fading setting (1 slowest, 16 fastest);
# $3 the sketch's background as "r g b" (empty: the default white), on which the point
# is painted yellow. figmantle's countdown can end before its dissolve is through, its
# marks then only hidden until the next trace shows them again; figlate clears them, so
# a second trace is checked in figlate.
trace_fading_in_both() {
    local blends=$1 speed=$2 background=$3
    local pref="$work/pref"
    # Records of a length and a tag in little-endian words: the empty 20001 that opens
    # the file, then 10021, the trace fading.
    printf '\x00\x00\x00\x00\x21\x4e\x00\x00\x02\x00\x00\x00\x25\x27\x00\x00'"\\x$(printf %02x "$speed")"'\x00' >"$pref"
    for program in figmantle figlate; do
        step "$program: the end point of a segment traced and dragged 100 down"
        start_program -pref "$(windows_path "$pref")"
        wait_for 30 "the first document" has_docs 1
        [ "$(ask build-segment 100 100 300 100)" = ok ] || fail "the segment could not be made"
        ask select 1 >/dev/null
        if [ -n "$background" ]; then
            # shellcheck disable=SC2086
            [ "$(ask background $background)" = ok ] || fail "the background could not be set"
            paint_selection 255 255 0
        fi
        ask command "$(menu_id 27)" >/dev/null
        ask select >/dev/null
        # The background as this screen shows it, from a spot nothing passes.
        local shown
        # shellcheck disable=SC2086
        shown=$(pixel $(screen_point 450 50))
        drag_to 300 100 200
        local colours distinct
        colours=$(sample_colours 300 180 8)
        step "$program: mid-fade on $shown: $(echo $colours)"
        distinct=$(echo $colours | tr ' ' '\n' | grep -v "^${shown}\$" | sort -u | grep -c . || true)
        if [ "$program" = figlate ] && [ "$blends" = blends ]; then
            [ "$distinct" -ge 2 ] || fail "figlate showed no intermediate colour mid-fade: $(echo $colours)"
        else
            [ "$distinct" = 1 ] || fail "$program did not show the marks' one colour mid-fade: $(echo $colours)"
        fi
        # shellcheck disable=SC2086
        mark_gone() { [ "$(sample_colours 300 180 1)" = "$shown " ]; }
        wait_for 20 "the mark to fade to the background ($shown)" mark_gone

        step "$program: a second trace"
        drag_to 300 200 240
        colours=$(sample_colours 300 180 4)
        if [ "$program" = figlate ]; then
            [ -z "$(echo $colours | tr ' ' '\n' | grep -v "^${shown}\$")" ] ||
                fail "an old mark came back: $(echo $colours)"
        fi
        end_program
        wait "$program_pid" 2>/dev/null || true
        program_pid=
    done
}

# Fast, yet slow enough that the older dissolve still shows a mark when the drag ends.
scenario_release2_trace_fading() {
    trace_fading_in_both blends 10 ""
}

# At 16 bits a pixel figlate fades the 5-5-5 pixels themselves.
scenario_release2_trace_fading_16() {
    use_screen_of_depth 16
    trace_fading_in_both blends 10 ""
}

# At 256 colours figlate dissolves the marks as figmantle does, here toward a dark
# background: only the marks' colour or the background shows, and nothing comes back.
# figlate takes a dissolve step every quarter of figmantle's interval: a slower setting.
scenario_release2_trace_fading_8() {
    use_screen_of_depth 8
    trace_fading_in_both dissolves 4 "0 0 0"
}
