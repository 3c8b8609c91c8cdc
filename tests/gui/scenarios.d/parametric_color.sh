# Images coloured by measured values: the Parametric Color command through its dialog
# (answered by the test build's script), the colours they show, their undo, and loci of
# them.

# The front sketch's colours and values, one line per object: class type r,g,b value.
colors() { ask colors; }
color_of() { colors | sed -n "$(($1 + 1))p" | cut -d' ' -f3; }
value_of() { colors | sed -n "$(($1 + 1))p" | cut -d' ' -f4; }
last_index() { echo $(($(ask objects | grep -c .) - 1)); }
dialog_runs() { ask dialog-runs | grep -c . || true; }
has_runs() { [ "$(dialog_runs)" -ge "$1" ]; }
last_run() { ask dialog-runs | tail -n1; }

# A value's place in From..To as the repeat mode takes it, and the colours made of it.
unit_of() {
    awk -v v="$1" -v a="$2" -v b="$3" -v m="$4" 'BEGIN {
        u = (v - a) / (b - a); n = int(u); if (n > u) n--; t = u - n
        if (m == 0) { if (n < 0) t = 0; else if (n > 0) t = 1; n = 0 }
        if (n < 0) n = -n
        odd = (n % 2 == 1)
        if (odd && t == 0) { t = 1; odd = 0 }
        if (m == 2 && odd) t = 1 - t
        if (t < 0) t = 0; if (t > 1) t = 1
        printf "%.17g\n", t }'
}
spectrum_of() {
    awk -v t="$1" 'BEGIN {
        w = 3850 + 2900 * t; r = 0; g = 0; b = 0
        if (w > 3800 && w < 4400) { b = 1; r = (4400 - w) / 600 }
        else if (w < 5100) { gs = (5100 - w) / 700; bs = (w - 4400) / 700; g = 1 - gs * gs; b = 1 - bs * bs }
        else if (w < 6450) { gs = (w - 5100) / 1350; rs = (6450 - w) / 1350; g = 1 - gs * gs; r = 1 - rs * rs }
        else r = 1
        printf "%d,%d,%d\n", int(255 * r), int(255 * g), int(255 * b) }'
}
byte_of() { awk -v t="$1" 'BEGIN { printf "%d\n", int(255 * t) }'; }

# Whether a pixel within one of a screen point has the colour.
color_near() {
    local x=$1 y=$2 want=$3 dx dy
    import -window root "$work/near.png"
    for dy in -1 0 1; do
        for dx in -1 0 1; do
            [ "$(convert "$work/near.png" -format "%[fx:int(255*p{$((x + dx)),$((y + dy))}.r)],%[fx:int(255*p{$((x + dx)),$((y + dy))}.g)],%[fx:int(255*p{$((x + dx)),$((y + dy))}.b)]" info:)" = "$want" ] && return 0
        done
    done
    return 1
}
# shellcheck disable=SC2086
point_shows() { [ "$(pixel $(screen_point "$1" "$2"))" = "$3" ]; }

# Runs the Parametric Color command with the selection given and waits for its dialog.
parametric() {
    local runs
    runs=$(dialog_runs)
    ask command "$(menu_id 89)" >/dev/null
    wait_for 20 "the Parametric Color dialog" has_runs $((runs + 1))
}

scenario_parametric_color() {
    start_with_segment
    step "the distance d between the segment's ends"
    ask select 0 1 >/dev/null
    ask command "$(menu_id 33)" >/dev/null
    wait_for 20 "the distance" object_count_is -eq 4
    local d=3
    [ "$(value_of $d)" != - ] || fail "the distance has no value: $(colors)"

    step "Cancel builds nothing"
    ask select $d 1 >/dev/null
    [ -n "$(menu_id 89)" ] || fail "no Parametric Color on the menu bar"
    ask dialog-answer 10 cancel 0 2 3 4 >/dev/null
    parametric
    [ "$(last_run)" = "10|cancel|0 2 0 1" ] || fail "the dialog opened otherwise: $(last_run)"
    object_count_is -eq 4 || fail "Cancel built something: $(ask objects)"

    step "OK with From 0, To 10, both ways: an image of P in the spectrum colour of d / 10"
    ask dialog-answer 10 ok 0 2 0 10 >/dev/null
    parametric
    [ "$(last_run)" = "10|ok|0 2 0 1" ] || fail "Cancel changed the choices: $(last_run)"
    wait_for 20 "the image" object_count_is -eq 5
    local image=4 want
    ask objects | sed -n 5p | grep -q '^1 4 79 1 0 260.0 180.0$' || fail "no image of P: $(ask objects)"
    want=$(spectrum_of "$(unit_of "$(value_of $d)" 0 10 2)")
    [ "$(color_of $image)" = "$want" ] || fail "the image is $(color_of $image), not $want (d = $(value_of $d))"

    step "one Undo takes the image away"
    ask command "$(menu_id 23)" >/dev/null
    wait_for 20 "the image to go" object_count_is -eq 4

    step "From = To builds nothing and keeps the last accepted range"
    ask select $d 1 >/dev/null
    ask dialog-answer 10 ok 0 2 5 5 >/dev/null
    parametric
    [ "$(last_run)" = "10|ok|0 2 0 10" ] || fail "the last range was not offered: $(last_run)"
    object_count_is -eq 4 || fail "an empty range built something: $(ask objects)"
    ask dialog-answer 10 ok 0 2 0 10 >/dev/null
    parametric
    [ "$(last_run)" = "10|ok|0 2 0 10" ] || fail "an empty range changed the choices: $(last_run)"
    wait_for 20 "the image again" object_count_is -eq 5

    step "with P hidden (a free point is drawn above its images), the image shows its colour"
    ask select 1 >/dev/null
    ask command "$(menu_id 20)" >/dev/null
    hidden_p() { ask objects | sed -n 2p | grep -q '^1 4 0 1 1 '; }
    wait_for 20 "P hidden" hidden_p
    ask select >/dev/null
    wait_for 10 "the image drawn in $want" point_shows 260 180 "$want"
    shot coloured

    step "dragging the segment's other end changes d and the colour"
    local before from to x y
    before=$(color_of $image)
    ask select >/dev/null
    from=$(screen_point 100 100)
    to=$(screen_point 40 60)
    # shellcheck disable=SC2086
    xdotool mousemove $from mousedown 1
    for i in 1 2 3 4 5 6; do
        read -r x y <<<"$(screen_point $((100 - 10 * i)) $((100 - 7 * i)))"
        xdotool mousemove "$x" "$y"
        sleep 0.05
    done
    # shellcheck disable=SC2086
    xdotool mousemove $to mouseup 1
    moved() { ask objects | head -n1 | grep -q ' 40.0 60.0$'; }
    wait_for 20 "the end at (40, 60)" moved
    want=$(spectrum_of "$(unit_of "$(value_of $d)" 0 10 2)")
    [ "$(color_of $image)" = "$want" ] || fail "after the drag the image is $(color_of $image), not $want"
    [ "$want" != "$before" ] || fail "the colour did not change with d"
    ask select >/dev/null
    wait_for 10 "the image drawn in $want" point_shows 260 180 "$want"

    step "three lengths A, B, C and a circle: red from A, green from B, blue from C"
    local lengths=() n
    for y in 250 280 310; do
        [ "$(ask build-segment 100 $y $((100 + 60 * (y - 220) / 30)) $y)" = ok ] || fail "no segment at $y"
    done
    for seg in 7 10 13; do
        n=$(ask objects | grep -c .)
        ask select $seg >/dev/null
        ask command "$(menu_id 32)" >/dev/null
        wait_for 20 "the length of object $seg" object_count_is -eq $((n + 1))
        lengths+=("$(last_index)")
    done
    n=$(ask objects | grep -c .)
    ask select 5 6 >/dev/null
    ask command "$(menu_id 7)" >/dev/null
    wait_for 20 "the circle" object_count_is -eq $((n + 1))
    local circle
    circle=$(last_index)
    colors | sed -n "$((circle + 1))p" | grep -q '^3 ' || fail "no circle: $(colors)"
    ask select "${lengths[0]}" "${lengths[1]}" "${lengths[2]}" "$circle" >/dev/null
    ask dialog-answer 11 ok 0 0 0 5 >/dev/null
    parametric
    case "$(last_run)" in 11\|ok\|*) ;; *) fail "not the three-value dialog: $(last_run)" ;; esac
    wait_for 20 "the coloured circle" object_count_is -eq $((circle + 2))
    local rgb=() i
    for i in 0 1 2; do rgb+=("$(byte_of "$(unit_of "$(value_of "${lengths[$i]}")" 0 5 0)")"); done
    want="${rgb[0]},${rgb[1]},${rgb[2]}"
    [ "$(color_of $((circle + 1)))" = "$want" ] || fail "the circle's image is $(color_of $((circle + 1))), not $want"
    [ "${rgb[0]}" -lt "${rgb[1]}" ] && [ "${rgb[1]}" -lt "${rgb[2]}" ] || fail "the lengths do not rise: $want"
    # The circle, like P, is drawn above its image: hidden, it shows the image.
    ask select "$circle" >/dev/null
    ask command "$(menu_id 20)" >/dev/null
    hidden_circle() { ask objects | sed -n "$((circle + 1))p" | grep -q '^3 [0-9]* [0-9]* 1 1 '; }
    wait_for 20 "the circle hidden" hidden_circle
    ask select >/dev/null
    read -r x y <<<"$(screen_point 100 190)"
    wait_for 10 "the circle drawn in $want" color_near "$x" "$y" "$want"
    shot three_values
}

# Whether two colours "r,g,b" differ by at most 3 in each component.
close_colors() {
    awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, ","); split(b, y, ",")
        for (i = 1; i <= 3; i++) { d = x[i] - y[i]; if (d < -3 || d > 3) exit 1 } }'
}
# shellcheck disable=SC2086
pixel_at() { pixel $(screen_point "$1" "$2"); }
differ_at() { [ "$(pixel_at "$1" "$2")" != "$(pixel_at "$3" "$4")" ]; }
same_at() { [ "$(pixel_at "$1" "$2")" = "$(pixel_at "$3" "$4")" ]; }

# Whether the pixel at (320, y) has about the colour Q has with P within two pixels of
# y on the vertical segment from C at (320, 60).
shows_color_of() {
    local got want dy
    got=$(pixel_at "$1" "$2")
    for dy in -2 -1 0 1 2; do
        want=$(spectrum_of "$(unit_of "$(awk -v y=$(($2 + dy)) -v k="$3" 'BEGIN { print (y - 60) / k }')" 0 6 1)")
        close_colors "$got" "$want" && return 0
    done
    return 1
}

# Drags from (x, y1) to (x, y2) in steps of 10 pixels, each given time to draw.
drag_to() {
    local x=$1 from=$2 to=$3 step sx sy y
    step=$((to > from ? 10 : -10))
    # shellcheck disable=SC2086
    xdotool mousemove $(screen_point "$x" "$from") mousedown 1
    for ((y = from + step; (step > 0 && y <= to) || (step < 0 && y >= to); y += step)); do
        read -r sx sy <<<"$(screen_point "$x" "$y")"
        xdotool mousemove "$sx" "$sy"
        sleep 0.15
    done
    # shellcheck disable=SC2086
    xdotool mousemove $(screen_point "$x" "$to") mouseup 1
}

# Whether P (object 6) is within half a pixel of (320, y).
p_at() { ask objects | sed -n 7p | awk -v y="$1" '{ exit !($6 > 319.5 && $6 < 320.5 && $7 > y - 0.5 && $7 < y + 0.5) }'; }

scenario_coloured_locus() {
    start_with_segment
    step "a point P on a vertical segment from C, coloured by its distance from C"
    [ "$(ask build-segment 320 60 320 260)" = ok ] || fail "the second segment could not be made"
    # Made with the point tool at the segment's middle: a point made on the segment by the
    # menu lands at random, and by an end a drag to the middle would take the end instead.
    ask select >/dev/null
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32774) click 1
    wait_for 10 "the point tool" tool_now 4
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 320 160) click 1
    wait_for 20 "P on the segment" object_count_is -eq 7
    ask objects | awk 'NR == 7 { exit !($1 == 1 && $3 == 15) }' || fail "P is not a point on the segment: $(ask objects)"
    wait_for 20 "P at (320, 160)" p_at 160
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    wait_for 10 "the arrow" tool_now 1
    ask select 6 3 >/dev/null
    ask command "$(menu_id 33)" >/dev/null
    wait_for 20 "the distance" object_count_is -eq 8
    ask select 7 6 >/dev/null
    ask dialog-answer 10 ok 0 1 0 6 >/dev/null
    parametric
    wait_for 20 "the coloured image Q" object_count_is -eq 9
    ask objects | sed -n 9p | grep -q '^1 [0-9]* 79 1 ' || fail "no image of P: $(ask objects)"

    step "the locus of Q as P runs along the segment: its ends differ in colour"
    ask select 8 6 >/dev/null
    ask command "$(menu_id 19)" >/dev/null
    wait_for 20 "the locus" object_count_is -eq 10
    ask objects | sed -n 10p | grep -q '^6 ' || fail "no locus: $(ask objects)"
    # The segment under the locus is hidden, so that the locus is what the tools find.
    ask select 5 >/dev/null
    ask command "$(menu_id 20)" >/dev/null
    ask select >/dev/null
    local per_cm
    # Pixels per centimetre, from P's place and its distance from C.
    per_cm=$(awk -v v="$(value_of 7)" 'BEGIN { printf "%.17g\n", 100 / v }')
    wait_for 10 "the locus drawn" differ_at 320 75 320 245
    shows_color_of 320 75 "$per_cm" || fail "the locus begins in $(pixel_at 320 75)"
    shows_color_of 320 245 "$per_cm" || fail "the locus ends in $(pixel_at 320 245)"
    shot locus

    step "selected, the locus gets two strokes beside it, both in the highlight colour"
    ask select 9 >/dev/null
    beside() { same_at 319 120 321 200 && [ "$(pixel_at 319 120)" != "255,255,255" ]; }
    wait_for 10 "the highlight strokes" beside
    differ_at 320 75 320 245 || fail "the selected locus lost its colours"
    shot selected
    ask select >/dev/null

    step "traced, Q leaves marks in its own colours"
    ask select 9 >/dev/null
    ask command "$(menu_id 20)" >/dev/null
    gone() { ask objects | sed -n 10p | grep -q '^6 [0-9]* [0-9]* [01] 1 '; }
    wait_for 20 "the locus hidden" gone
    ask select 8 >/dev/null
    ask command "$(menu_id 27)" >/dev/null
    ask select >/dev/null
    drag_to 320 160 220
    wait_for 20 "P moved down by 60" p_at 220
    local y
    for y in 180 200; do
        shows_color_of 320 $y "$per_cm" || fail "the trace at $y is $(pixel_at 320 $y)"
    done
    shot traced
}
