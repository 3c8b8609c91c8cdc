# Scenarios of the product picture: the splash window at start-up and the About box.
# Sourced by tests/gui/scenarios, which holds the shared helpers.

splash_field() { ask splash | awk -v n="$1" '{ print $n }'; }
splash_open() { [ "$(ask splash)" != none ]; }
splash_closed() { [ "$(ask splash)" = none ]; }

# The credits band of the About box as its own image.
credit_band() {
    local x y w
    read -r _ x y w _ <<<"$(ask splash)"
    import -window root "$work/band-full.png"
    convert "$work/band-full.png" -crop "$((w - 320))x168+$((x + 300))+$y" +repage "$work/$1.png"
}

scenario_splash() {
    step "a normal start shows the picture centred over the main window"
    keep_splash=1 start_program
    wait_for 30 "the first document" has_docs 1
    wait_for 20 "the splash window" splash_open
    local s
    s=$(ask splash)
    read -r _ x y w h _ fx fy fw fh mode colour _ <<<"$s"
    [ "$mode" = splash ] && [ "$colour" = 1 ] || fail "not the colour splash: $s"
    [ "$w" = 460 ] && [ "$h" = 240 ] || fail "not the picture's size: $s"
    local dx=$(((2 * x + w) - (2 * fx + fw))) dy=$(((2 * y + h) - (2 * fy + fh)))
    [ ${dx#-} -le 2 ] && [ ${dy#-} -le 2 ] || fail "not centred over the main window: $s"
    [ "$(pixel $((x + 1)) $((y + 1)))" = "16,96,160" ] || fail "the rim of bitmap 102 is not shown: $(pixel $((x + 1)) $((y + 1))) ($s)"
    shot splash

    step "a click elsewhere closes it and still reaches the sketch"
    focus_view
    wait_for 10 "the splash to close" splash_closed

    step "About shows the picture; after six seconds the credits scroll"
    ask command 57664 >/dev/null
    wait_for 10 "the About box" splash_open
    local first
    first=$(splash_field 1)
    [ "$(splash_field 11)" = about ] || fail "not opened as the About box: $(ask splash)"
    [ "$(splash_field 13)" = 1 ] || fail "no credit page: $(ask splash)"
    credit_band still-1
    sleep 2
    credit_band still-2
    compare -metric AE "$work/still-1.png" "$work/still-2.png" null: 2>/dev/null ||
        fail "the credits moved before six seconds"
    step "a second About meanwhile does nothing"
    ask command 57664 >/dev/null
    sleep 0.5
    [ "$(splash_field 1)" = "$first" ] || fail "a second About made another window"
    sleep 5
    credit_band moving-1
    sleep 1
    credit_band moving-2
    compare -metric AE "$work/moving-1.png" "$work/moving-2.png" null: 2>/dev/null &&
        fail "the credit band did not change between shots after six seconds"
    step "a key closes it"
    # The key goes to the main window, which has the keyboard.
    xdotool windowfocus --sync "$(xdotool search --name '^Velmora' | head -n1)" key shift
    wait_for 10 "the About box to close" splash_closed
    end_program

    step "no splash when embedding"
    start_program /Embedding
    sleep 2
    splash_closed || fail "a splash with /Embedding: $(ask splash)"
    end_program
}

# At 256 colours the About box shows the other picture, with white credits.
scenario_splash_256() {
    use_screen_of_depth 8
    keep_splash=1 start_program
    wait_for 30 "the first document" has_docs 1
    wait_for 20 "the splash window" splash_open
    read -r _ x y _ _ _ _ _ _ _ mode colour _ <<<"$(ask splash)"
    [ "$colour" = 0 ] || fail "the screen is not taken as 256 colours: $(ask splash)"
    local rim
    rim=$(pixel $((x + 1)) $((y + 1)))
    [ "$rim" = "255,0,0" ] || fail "the rim of bitmap 253 is not shown: $rim"
    focus_view
    wait_for 10 "the splash to close" splash_closed
    ask command 57664 >/dev/null
    wait_for 10 "the About box" splash_open
    read -r _ x y w _ <<<"$(ask splash)"
    import -window root "$work/about256.png"
    # White credit text on the dark picture: the band holds white pixels.
    local white
    white=$(convert "$work/about256.png" -crop "$((w - 320))x168+$((x + 300))+$y" +repage \
            -fill black +opaque white -format "%[fx:int(mean*w*h)]" info:)
    [ "$white" -gt 20 ] || fail "no white credits in the band ($white white pixels)"
}
