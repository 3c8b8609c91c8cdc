# How axes, grids, text objects and tables look: tick numbers beside the axes but not
# at the origin, the polar grid's rings, spokes and unsigned numbers, and the highlights
# of a selected measurement and table.

# How many pixels of a screen region are dark (text and axes, not the grey grid).
dark_pixels() {
    convert "$work/region.png" -crop "$3x$4+$1+$2" +repage -fx '(r+g+b < 1.5) ? 1 : 0' \
        -format "%[fx:int(mean * w * h + 0.5)]" info:
}
# The same for the region between two sketch corners, in the last screenshot taken by
# `take_region`.
take_region() { import -window root "$work/region.png"; }
dark_in() {
    local x1 y1 x2 y2
    read -r x1 y1 <<<"$(screen_point "$1" "$2")"
    read -r x2 y2 <<<"$(screen_point "$3" "$4")"
    dark_pixels "$x1" "$y1" $((x2 - x1 + 1)) $((y2 - y1 + 1))
}
# shellcheck disable=SC2086
sketch_pixel() { pixel $(screen_point "$1" "$2"); }
not_white_near() {
    local p
    p=$(screen_point "$1" "$2")
    # shellcheck disable=SC2086
    marked_near $p
}

scenario_graph_drawing() {
    start_program
    wait_for 30 "the first document" has_docs 1
    step "Define Coordinate System: numbers under and beside the axes, none at the origin"
    ask command "$(menu_id 54)" >/dev/null
    wait_for 20 "the coordinate system" has_system
    local objects ox oy u
    objects=$(ask objects)
    ox=$(echo "$objects" | awk '$1 == 1 && $2 == 36 { print int($6 + 0.5); exit }')
    oy=$(echo "$objects" | awk '$1 == 1 && $2 == 36 { print int($7 + 0.5); exit }')
    u=$(echo "$objects" | awk -v o="$ox" '$1 == 1 && $3 == 56 { print int($6 - o + 0.5); exit }')
    [ -n "$ox" ] && [ -n "$u" ] || fail "no origin or unit point: $objects"
    # The labelled ticks: every fifth unit along x, every second along y (at this unit).
    numbers_drawn() {
        take_region
        [ "$(dark_in $((ox + 5 * u - 10)) $((oy + 7)) $((ox + 5 * u + 10)) $((oy + 20)))" -gt 0 ] &&
            [ "$(dark_in $((ox - 30)) $((oy - 2 * u - 6)) $((ox - 7)) $((oy - 2 * u + 6)))" -gt 0 ]
    }
    wait_for 20 "tick numbers under the x axis and beside the y axis" numbers_drawn
    [ "$(dark_in $((ox - 8)) $((oy + 7)) $((ox - 2)) $((oy + 20)))" = 0 ] &&
        [ "$(dark_in $((ox + 2)) $((oy + 7)) $((ox + 8)) $((oy + 20)))" = 0 ] &&
        [ "$(dark_in $((ox - 20)) $((oy - 6)) $((ox - 7)) $((oy - 2)))" = 0 ] ||
        fail "a number at the origin"
    shot axes

    step "the polar grid: rings, spokes, and numbers without signs"
    ask command "$(menu_id 60)" >/dev/null
    polar() {
        local r=$((2 * u))
        not_white_near $((ox + r * 707 / 1000)) $((oy - r * 707 / 1000)) &&
            not_white_near $((ox + 5 * u * 866 / 2000)) $((oy - 5 * u / 4)) &&
            is_white "$(sketch_pixel $((ox + 5 * u * 991 / 2000)) $((oy - 5 * u * 131 / 2000)))"
    }
    wait_for 20 "a ring at 45 degrees and a spoke at 30, nothing at 7.5" polar
    take_region
    local plus minus
    plus=$(dark_in $((ox + 5 * u - 12)) $((oy + 7)) $((ox + 5 * u + 12)) $((oy + 20)))
    minus=$(dark_in $((ox - 5 * u - 12)) $((oy + 7)) $((ox - 5 * u + 12)) $((oy + 20)))
    [ "$plus" -gt 0 ] && [ "$plus" = "$minus" ] || fail "the numbers at +5 and -5 differ: $plus, $minus dark pixels"
    plus=$(dark_in $((ox - 30)) $((oy - 2 * u - 6)) $((ox - 7)) $((oy - 2 * u + 6)))
    minus=$(dark_in $((ox - 30)) $((oy + 2 * u - 6)) $((ox - 7)) $((oy + 2 * u + 6)))
    [ "$plus" -gt 0 ] && [ "$plus" = "$minus" ] || fail "the numbers at +2 and -2 differ: $plus, $minus dark pixels"
    shot polar

    step "a selected measurement: the highlight fill inside a contrast frame"
    [ "$(ask build-segment $((ox + 40)) $((oy - 60)) $((ox + 160)) $((oy - 60)))" = ok ] || fail "no segment"
    local n seg measure
    n=$(ask objects | grep -c .)
    seg=$((n - 1))
    ask select $seg >/dev/null
    ask command "$(menu_id 32)" >/dev/null
    wait_for 20 "the length" object_count_is -eq $((n + 1))
    measure=$n
    ask select $measure >/dev/null
    local l t r b highlight
    read -r l t r b <<<"$(ask bounds $measure)"
    framed() { is_dark "$(sketch_pixel $((l - 1)) $(((t + b) / 2)))" && [ "$(sketch_pixel $((l + 1)) $((t + 1)))" != "255,255,255" ]; }
    wait_for 10 "the frame and the fill" framed
    highlight=$(sketch_pixel $((l + 1)) $((t + 1)))
    [ "$(sketch_pixel $((l + 1)) $((b - 2)))" = "$highlight" ] || fail "the fill is not even: $highlight"
    shot measurement

    step "Tabulate: the selected table shows two frames in the highlight colour"
    ask command "$(menu_id 109)" >/dev/null
    wait_for 20 "the table" object_count_is -eq $((n + 2))
    local table=$((n + 1))
    ask objects | sed -n "$((table + 1))p" | grep -q '^17 ' || fail "no table: $(ask objects)"
    ask select $table >/dev/null
    read -r l t r b <<<"$(ask bounds $table)"
    frames() {
        [ "$(sketch_pixel $((l - 2)) $(((t + b) / 2)))" = "$highlight" ] &&
            [ "$(sketch_pixel $((l + 2)) $(((t + b) / 2)))" = "$highlight" ] &&
            [ "$(sketch_pixel $(((l + r) / 2)) $((b + 2)))" = "$highlight" ]
    }
    wait_for 10 "the two frames" frames
    shot table

    step "a locus of a midpoint, its ends marked with squares"
    ask select >/dev/null
    ask command "$(menu_id 56)" >/dev/null
    n=$(ask objects | grep -c .)
    build_midpoint_locus "$n" 180 "$(menu_id 0)"
    # The midpoint and its segment would cross the locus somewhere: hidden.
    ask select $((n + 7)) $((n + 8)) >/dev/null
    ask command "$(menu_id 20)" >/dev/null
    ask select >/dev/null
    ends() {
        is_dark "$(sketch_pixel 30 219)" && is_dark "$(sketch_pixel 115 219)" &&
            is_dark "$(sketch_pixel 72 220)" && is_white "$(sketch_pixel 72 219)"
    }
    wait_for 20 "squares at (30, 220) and (115, 220) on a one-pixel curve" ends
    shot locus_ends
}
