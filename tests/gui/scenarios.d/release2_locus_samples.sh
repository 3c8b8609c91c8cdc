# A point on a locus dragged away and back to where it was pressed: figlate keeps the
# locus's samples at sub-pixel precision and the point comes back to its place; figmantle
# finds it again among whole-pixel samples. Sourced by tests/gui/scenarios.

# Builds the locus of the midpoint of a point on the segment (30, 260)-(200, 260) and the
# fixed point (30, 181), a horizontal run at y = 220.5, and a point on it, whose position
# in the sketch order goes into locus_point (object_xy reads it: motion.sh).
build_locus_with_point() {
    local n point_on
    n=$(ask objects | grep -c . || true)
    # Asked before anything is selected: reading the menus while the selection changes
    # can leave the command a moment behind it.
    point_on=$(menu_id 0 | head -n1)
    build_midpoint_locus "$n" 181 "$point_on"
    # The midpoint and its segment lie on the locus's line: hidden.
    ask select $((n + 7)) $((n + 8)) >/dev/null
    ask command "$(menu_id 20)" >/dev/null
    ask select $((n + 9)) >/dev/null
    ask command "$point_on" >/dev/null
    wait_for 20 "a point on the locus" object_count_is -eq $((n + 11))
    ask select >/dev/null
    locus_point=$((n + 10))
}

# Presses on the point at position I, drags it 30 pixels to the right and back, and releases.
drag_point_there_and_back() {
    local x y sx sy
    read -r x y <<<"$(object_xy "$1")"
    read -r sx sy <<<"$(screen_point "$(printf '%.0f' "$x")" "$(printf '%.0f' "$y")")"
    xdotool mousemove "$sx" "$sy" mousedown 1
    for dx in 5 10 20 30; do
        xdotool mousemove $((sx + dx)) "$sy"
        sleep 0.05
    done
    locus_point_away() { [ "$(object_xy "$1" | awk -v x="$x" '{ print int($1 - x + 0.5) }')" = 30 ]; }
    wait_for 10 "the point 30 pixels along" locus_point_away "$1"
    for dx in 20 10 5 0; do
        xdotool mousemove $((sx + dx)) "$sy"
        sleep 0.05
    done
    sleep 0.2
    xdotool mouseup 1
    sleep 0.3
}

scenario_locus_point_keeps_its_place() {
    local before after
    for program in figmantle figlate; do
        step "$program: a point on a locus dragged away and back"
        start_program
        wait_for 30 "the first document" has_docs 1
        build_locus_with_point
        before=$(object_xy "$locus_point")
        drag_point_there_and_back "$locus_point"
        after=$(object_xy "$locus_point")
        echo "   $program: $before -> $after"
        [ "${after#* }" = "${before#* }" ] || fail "$program: the point left the locus's line ($before -> $after)"
        if [ "$program" = figlate ]; then
            [ "$after" = "$before" ] || fail "figlate: the point moved from $before to $after"
        fi
        shot "$program"
        end_program
        wait "$program_pid" 2>/dev/null || true
    done
}
