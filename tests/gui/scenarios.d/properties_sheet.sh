# The Properties sheet as a user meets it: opened from Edit > Properties..., its pages
# driven with the mouse and keys, retargeted by clicks in the sketch and from the Object
# page's Parents menu.

ps_sheet() { ask sheet; }
ps_sheet_open() { [ "$(ask sheet)" != none ]; }
ps_sheet_closed() { [ "$(ask sheet)" = none ]; }
ps_tabs() { ask sheet | sed 1d | cut -d'|' -f1 | paste -sd,; }
ps_tabs_are() { [ "$(ps_tabs)" = "$1" ]; }
ps_active_is() { [ "$(ask sheet | head -n1 | cut -d'|' -f2)" = "$1" ]; }
ps_title() { ask sheet | head -n1 | cut -d'|' -f1; }
ps_title_is() { [ "$(ps_title)" = "$1" ]; }
ps_enabled() { [ "$(ask sheet | head -n1 | cut -d'|' -f3)" = 1 ]; }
ps_hidden() { ask objects | sed -n "$(($1 + 1))p" | cut -d' ' -f5; }
ps_hidden_is() { [ "$(ps_hidden "$1")" = "$2" ]; }

# A control of the open sheet: its line of "ask dialog" (id|class|text|l t r b|shown|enabled|checked|focus).
ps_control() { ask dialog | grep "^$1|" | head -n1; }
ps_control_text() { ps_control "$1" | cut -d'|' -f3; }
ps_control_checked() { ps_control "$1" | cut -d'|' -f7; }
ps_control_enabled() { ps_control "$1" | cut -d'|' -f6; }
# Clicks the middle of a control of the open sheet.
ps_click() {
    local l t r b
    read -r l t r b <<<"$(ps_control "$1" | cut -d'|' -f4)"
    [ -n "$b" ] || fail "no control $1 in the sheet: $(ask dialog)"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
}
# Clicks the left part of a check box or radio (its box, not its text's far end).
ps_click_box() {
    local l t r b
    read -r l t r b <<<"$(ps_control "$1" | cut -d'|' -f4)"
    [ -n "$b" ] || fail "no control $1 in the sheet"
    xdotool mousemove $((l + 6)) $(((t + b) / 2)) click 1
}

# Edit > Properties... on the selected object; waits for the sheet.
ps_open() {
    ask command "$(menu_id 75)" >/dev/null
    wait_for 20 "the Properties sheet" ps_sheet_open
}

# Dark pixels in the 60 x 60 box around a screen point.
ps_ink_at() {
    import -window root "$work/ink.png"
    convert "$work/ink.png" -crop "60x60+$(($1 - 30))+$(($2 - 30))" +repage -threshold 90% -negate \
        -format "%[fx:int(mean*w*h+0.5)]" info:
}
ps_more_ink() { [ "$(ps_ink_at "$1" "$2")" -gt "$3" ]; }
ps_ink_back() { [ "$(ps_ink_at "$1" "$2")" -le "$3" ]; }

# Moves to the sheet's tab at a position with Ctrl+Tab, as the keyboard does.
ps_tab_to() {
    local n=0
    while ! ps_active_is "$1" && [ $n -lt 14 ]; do
        xdotool key ctrl+Tab
        sleep 0.3
        n=$((n + 1))
    done
    ps_active_is "$1" || fail "tab $1 not reached: $(ps_sheet)"
}
# Replaces the text of an edit of the sheet by typing.
ps_type_into() {
    ps_click "$1"
    xdotool key End shift+Home
    xdotool type --delay 60 "$2"
}
ps_cancel() {
    ps_click 2
    wait_for 10 "the sheet to close" ps_sheet_closed
}
ps_ok() {
    ps_click 1
    wait_for 10 "the sheet to close" ps_sheet_closed
}
ps_layout_text() { ask styles | sed -n "$(($1 + 1))p" | awk -F'|' '{ print $NF }'; }

scenario_properties_sheet() {
    start_with_segment
    local a=0 seg=2 before x y ink n text
    step "Edit > Properties... on A: the Object and Label pages, the caption naming A"
    ask select $a >/dev/null
    before=$(ask undo)
    ps_open
    ps_tabs_are "Object,Label" || fail "tabs: $(ps_sheet)"
    ps_title_is "Properties of Point #1" || fail "caption: $(ps_sheet)"
    [ "$(ps_control_text 1015)" = "No Parents" ] || fail "A has no parents: $(ps_control 1015)"

    step "P typed on the Label page with Show Label; Cancel keeps A as it was, with no undo step"
    read -r x y <<<"$(screen_point 100 100)"
    ink=$(ps_ink_at "$x" "$y")
    ps_tab_to 1
    ps_type_into 1064 P
    [ "$(ps_control_checked 1065)" = 1 ] || ps_click_box 1065
    ps_cancel
    [ "$(ask undo)" = "$before" ] || fail "Cancel left an undo step: $(ask undo)"
    ps_ink_back "$x" "$y" $((ink + 3)) || fail "Cancel left a label beside A"

    step "P again with OK: the label shows beside A and names it in the sheet"
    ps_open
    ps_active_is 1 || fail "the sheet did not open on the Label page shown last: $(ps_sheet)"
    ps_type_into 1064 P
    [ "$(ps_control_checked 1065)" = 1 ] || ps_click_box 1065
    ps_ok
    wait_for 10 "the label P beside A" ps_more_ink "$x" "$y" $((ink + 5))
    ps_open
    ps_title_is "Properties of Point P" || fail "caption after OK: $(ps_sheet)"

    step "Style... on the Label page runs the Text Style dialog; the sheet is enabled after it"
    ps_click 1067
    text_style_open() { ask dialog | head -n1 | grep -q "Text Style"; }
    wait_for 10 "the Text Style dialog" text_style_open
    ps_enabled && fail "the sheet stayed enabled under the Text Style dialog"
    xdotool key Escape
    wait_for 10 "the sheet again" ps_sheet_open
    wait_for 5 "the sheet enabled again" ps_enabled

    step "Hidden with OK hides A; one Undo shows it again"
    ps_tab_to 0
    ps_click_box 1066
    before=$(ask undo)
    ps_ok
    wait_for 10 "A hidden" ps_hidden_is $a 1
    ask command "$(menu_id 23)" >/dev/null
    wait_for 10 "A shown by Undo" ps_hidden_is $a 0
    [ "$(ask undo)" = "$before" ] || fail "one Undo left: $(ask undo)"

    step "a click on the segment retargets the open sheet, the Object page staying"
    ask select $a >/dev/null
    ps_open
    ps_tab_to 1
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 120 110)
    sleep 0.3
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 121 110) click 1
    segment_shown() { ps_title | grep -q "Segment"; }
    wait_for 10 "the segment's properties" segment_shown
    ps_active_is 0 || fail "the sheet left the Object page: $(ps_sheet)"
    [ "$(ps_control_text 1015)" = "Parents" ] || fail "the segment's parents: $(ps_control 1015)"

    step "a parent from the Parents menu retargets the sheet to that point"
    ps_click 1015
    wait_for 10 "the Parents menu" popup_open
    read -r l t r b <<<"$(ask popup-rect 2)"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
    point_shown() { ps_title | grep -q "Point"; }
    wait_for 10 "the parent's properties" point_shown
    ps_active_is 0 || fail "the sheet left the Object page: $(ps_sheet)"
    ps_tabs_are "Object,Label" || fail "tabs after the parent: $(ps_sheet)"
    ps_cancel

    step "a length at thousandths shows three decimals"
    n=$(ask objects | grep -c .)
    ask select $seg >/dev/null
    ask command "$(menu_id 32)" >/dev/null
    wait_for 20 "the length" object_count_is -eq $((n + 1))
    ask select $n >/dev/null
    text=$(ps_layout_text $n)
    ps_open
    ps_tabs_are "Object,Label,Value" || fail "the length's tabs: $(ps_sheet)"
    ps_tab_to 2
    [ "$(ps_control_checked 1266)" = 1 ] || fail "the length does not show its original name: $(ps_control 1266)"
    step "a label typed for the length moves its Value page to Current Label, the third radio"
    ps_tab_to 1
    ps_type_into 1064 len
    ps_tab_to 2
    [ "$(ps_control_checked 1268)" = 1 ] || fail "Current Label is not chosen: $(ask dialog | grep '^126[678]|')"
    step "thousandths"
    ps_click 1078
    sleep 0.5
    xdotool key Home Down Down Down Return
    sleep 0.3
    [ "$(ps_control_text 1078)" = thousandths ] || fail "the precision: $(ps_control 1078)"
    ps_ok
    three_decimals() { ps_layout_text $n | grep -Eq '[0-9]\.[0-9]{3}[^0-9]'; }
    wait_for 10 "thousandths, was $text" three_decimals

    step "a locus's Plot page refuses too many samples and stays"
    ask select $seg >/dev/null
    ask command "$(menu_id 0)" >/dev/null
    wait_for 20 "P on the segment" object_count_is -eq $((n + 2))
    ask select $((n + 1)) 1 >/dev/null
    ask command "$(menu_id 3)" >/dev/null
    wait_for 20 "the segment from P" object_count_is -eq $((n + 3))
    ask select $((n + 2)) >/dev/null
    ask command "$(menu_id 1)" >/dev/null
    wait_for 20 "its midpoint" object_count_is -eq $((n + 4))
    ask select $((n + 3)) $((n + 1)) >/dev/null
    ask command "$(menu_id 19)" >/dev/null
    wait_for 20 "the locus" object_count_is -eq $((n + 5))
    ask select $((n + 4)) >/dev/null
    ps_open
    ps_tabs_are "Object,Label,Plot" || fail "the locus's tabs: $(ps_sheet)"
    ps_tab_to 2
    ps_type_into 1075 9999999
    xdotool key ctrl+Tab
    range_box() { ask alerts | grep -q "Please type a value between 10 and" || ask dialog | grep -q "Please type a value between 10 and"; }
    wait_for 10 "the range message" range_box
    ask dialog | grep "Please type" | head -n1
    xdotool key Return
    wait_for 10 "the sheet again" ps_sheet_open
    ps_active_is 2 || fail "the refused page was left: $(ps_sheet)"
    ps_cancel

    step "an Animate button's page grows the sheet, shows the path's controls and shrinks back"
    n=$(ask objects | grep -c .)
    [ "$(ask build-buttons animate)" = ok ] || fail "no Animate button"
    local button w0 h0 w1 h1 l t r b
    button=$(($(ask objects | grep -c .) - 1))
    ask select $button >/dev/null
    ps_open
    ps_tabs_are "Object,Label,Animate" || fail "the button's tabs: $(ps_sheet)"
    ps_tab_to 0
    read -r l t r b <<<"$(ask dialog-rect)"
    w0=$((r - l)); h0=$((b - t))
    ps_tab_to 2
    sleep 0.5
    read -r l t r b <<<"$(ask dialog-rect)"
    w1=$((r - l)); h1=$((b - t))
    [ $w1 -gt $w0 ] && [ $h1 -gt $h0 ] || fail "the sheet did not grow: $w0 x $h0 -> $w1 x $h1"
    [ "$(ps_control 1330 | cut -d'|' -f5)" = 1 ] || fail "no direction for a point on a circle: $(ps_control 1330)"
    [ "$(ps_control_text 1330)" = "counter-clockwise" ] || [ "$(ps_control_text 1330)" = "clockwise" ] ||
        fail "the direction is not told round the circle: $(ps_control 1330)"
    [ "$(ps_control 1324 | cut -d'|' -f5)" = 0 ] || fail "a point shows the number range: $(ps_control 1324)"
    [ "$(ps_control 1293 | cut -d'|' -f5)" = 1 ] || fail "no target list"
    shot animate_page
    ps_tab_to 0
    sleep 0.5
    read -r l t r b <<<"$(ask dialog-rect)"
    [ $((r - l)) = $w0 ] && [ $((b - t)) = $h0 ] || fail "the sheet did not shrink back: $((r - l)) x $((b - t))"
    ps_cancel

    step "a link button in a one-page document offers only the URL"
    [ "$(ask build-buttons "address:http://example.org/")" = ok ] || fail "no link button"
    button=$(($(ask objects | grep -c .) - 1))
    ask select $button >/dev/null
    ps_open
    ps_tabs_are "Object,Label,Link" || fail "the link's tabs: $(ps_sheet)"
    ps_tab_to 2
    [ "$(ps_control 1212 | cut -d'|' -f5)" = 1 ] || fail "no one-page text: $(ps_control 1212)"
    [ "$(ps_control 1213 | cut -d'|' -f5)" = 0 ] || fail "a page choice in a one-page document"
    [ "$(ps_control_enabled 1203)" = 0 ] || fail "Page: stays enabled: $(ps_control 1203)"
    [ "$(ps_control_checked 1204)" = 1 ] || fail "URL is not chosen: $(ps_control 1204)"
    ps_cancel

    step "a parameter's page tells units per second or units each step"
    [ "$(ask build-parameter 3)" = ok ] || fail "no parameter"
    ask select $(($(ask objects | grep -c .) - 1)) >/dev/null
    ps_open
    ps_tab_to "$(($(ask sheet | sed 1d | grep -c .) - 1))"
    ps_tabs | grep -q "Parameter$" || fail "no Parameter page: $(ps_sheet)"
    ps_click_box 1267
    [ "$(ps_control_text 1308)" = "units each" ] || fail "Discretely: $(ps_control 1308)"
    ps_click_box 1266
    [ "$(ps_control_text 1308)" = "units per" ] || fail "Continuously: $(ps_control 1308)"
    ps_cancel

    step "a presentation's page trades Stop After for Pause Between Actions when made sequential"
    [ "$(ask build-buttons present)" = ok ] || fail "no presentation"
    ask select $(($(ask objects | grep -c .) - 1)) >/dev/null
    ps_open
    ps_tab_to 2
    ps_tabs | grep -q "Presentation$" || fail "no Presentation page: $(ps_sheet)"
    shown() { [ "$(ps_control "$1" | cut -d'|' -f5)" = "$2" ]; }
    shown 1335 1 && shown 1333 0 && shown 1337 0 || fail "simultaneous: $(ask dialog | grep '^133[0-9]|')"
    ps_click_box 1306
    wait_for 5 "the pause group" shown 1333 1
    shown 1335 0 && shown 1266 0 || fail "sequential keeps Stop After: $(ps_control 1335)"
    ps_cancel

    step "a link to a page named with an ampersand; its menu shows the highlighted page, then the first again"
    [ "$(ask add-page "Second & Third")" = ok ] || fail "no second page"
    [ "$(ask build-buttons link)" = ok ] || fail "no link to a page"
    button=$(($(ask objects | grep -c .) - 1))
    ask select $button >/dev/null
    ps_open
    ps_tab_to 2
    [ "$(ps_control_text 1213)" = "Second && Third" ] || fail "the page's name: $(ps_control 1213)"
    [ "$(ps_control 1212 | cut -d'|' -f5)" = 0 ] || fail "the one-page text shows"
    page_is() { [ "$(ask docs | head -n1 | cut -d'|' -f5)" = "$1" ]; }
    page_is 0 || fail "not on the first page: $(ask docs)"
    ps_click 1213
    wait_for 10 "the page menu" popup_open
    read -r l t r b <<<"$(ask popup-rect 0)"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2))
    wait_for 10 "the highlighted page shown" page_is 1
    xdotool key Escape
    wait_for 10 "the first page again" page_is 0
    wait_for 10 "the sheet" ps_sheet_open
    ps_cancel
}
