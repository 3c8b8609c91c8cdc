# The text styles as a user meets them: the Text Palette's lists, buttons and colours on
# selected captions, the notation bar while a caption is edited, the size keys, the colour
# swatches and font menu, and the Text Style dialog.

styles_of() { ask styles | sed -n "$(($1 + 1))p"; }
# Field F (0 font, 1 size, 2 weight, ...) of object I's text style.
style_field() { styles_of "$1" | awk -v f="$2" '{ print $(f + 2) }'; }
style_field_is() { [ "$(style_field "$1" "$2")" = "$3" ]; }
# Field F of the style of object I's caption text.
text_field() { styles_of "$1" | cut -d'|' -f2 | awk -v f="$2" '{ print $(f + 1) }'; }
bar_line() { ask bars | awk -v n="$1" '$1 == n'; }
bar_shown_is() { [ "$(bar_line "$1" | awk '{ print $2 }')" = "$2" ]; }
# A control or button of the bars: id|text|rect|enabled|checked.
bar_control() { ask bars | awk -F'|' -v id="$1" '$1 == "  " id'; }
bar_control_rect() { bar_control "$1" | cut -d'|' -f3; }
bar_control_text() { bar_control "$1" | cut -d'|' -f2; }
bar_control_checked_is() { [ "$(bar_control "$1" | cut -d'|' -f5)" = "$2" ]; }
caption_index() { ask objects | awk '$1 == 0 { print NR - 1; exit }'; }

# A caption typed with the text tool at a sketch point; ends editing with a click away.
make_caption() {
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32779) click 1
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point "$1" "$2") click --repeat 2 --delay 80 1
    wait_for 10 "caption editing" eval '[ "$(ask editing)" = 1 ]'
    xdotool type --delay 40 "$3"
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 420 260) click 1
    wait_for 10 "editing to end" eval '[ "$(ask editing)" = 0 ]'
}

# The dark pixels in a box of 80 x 30 screen pixels around object I's centre.
ink_of() {
    local x y
    read -r x y <<<"$(ask objects | sed -n "$(($1 + 1))p" | awk '{ print $6, $7 }')"
    read -r x y <<<"$(screen_point "$x" "$y")"
    import -window root "$work/ink.png"
    convert "$work/ink.png" -crop "80x30+$((x - 40))+$((y - 15))" -colorspace Gray -threshold 50% \
        -format "%[fx:int(w*h*(1-mean)+0.5)]" info:
}
ink_above() { [ "$(ink_of "$1")" -gt "$2" ]; }
# Clicks into a palette combo's edit part and replaces its text.
type_into_combo() {
    local x y
    read -r x y <<<"$(bar_control_rect "$1" | awk '{ print $1 + 12, int(($2 + $4) / 2) }')"
    xdotool mousemove "$x" "$y" click 1 sleep 0.2 key End BackSpace BackSpace BackSpace BackSpace BackSpace
    xdotool type --delay 40 "$2"
}
colour_of() { ask colors | sed -n "$(($1 + 1))p" | awk '{ print $3 }'; }
colour_is() { [ "$(colour_of "$1")" = "$2" ]; }
combo_text_is() { [ "$(bar_control_text "$1")" = "$2" ]; }

scenario_text_palette() {
    start_program
    wait_for 30 "the first document" has_docs 1

    step "Display > Show Text Palette docks the palette at the bottom"
    click_menu_item 2 85
    wait_for 10 "the palette shown" bar_shown_is palette 1
    local floats top view
    read -r _ _ floats _ top _ <<<"$(bar_line palette)"
    [ "$floats" = 0 ] || fail "the palette floats: $(bar_line palette)"
    view=$(ask viewbottom)
    [ "$top" -gt "$view" ] || fail "the palette is not below the views ($top <= $view)"
    shot palette

    make_caption 120 80 "Hello"
    local cap
    cap=$(caption_index)
    [ -n "$cap" ] || fail "no caption: $(ask objects)"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    ask select "$cap" >/dev/null
    wait_for 10 "the palette showing the caption's size" eval '[ -n "$(bar_control_text 1246)" ]'

    step "Bold with Shift held makes the caption bold and leaves new captions plain"
    # The ink is counted on the caption unselected: the selection fills its box.
    local ink
    ask select >/dev/null
    sleep 0.5
    ink=$(ink_of "$cap")
    ask select "$cap" >/dev/null
    # shellcheck disable=SC2046
    xdotool mousemove $(bar_control_rect 32882 | centre) keydown shift click 1 sleep 0.3 keyup shift
    wait_for 10 "the caption bold" style_field_is "$cap" 2 2
    [ "$(text_field "$cap" 2)" = 2 ] || fail "the caption's text is not bold: $(styles_of "$cap")"
    ask select >/dev/null
    wait_for 10 "thicker text" ink_above "$cap" "$ink"
    shot bold
    make_caption 120 160 "Plain"
    local second
    second=$(ask objects | awk '$1 == 0 { n++; if (n == 2) { print NR - 1; exit } }')
    [ "$(style_field "$second" 2)" != 2 ] || fail "the new caption took the bold: $(styles_of "$second")"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    ask select "$cap" >/dev/null

    step "a face chosen from the list"
    local font
    font=$(style_field "$cap" 0)
    local x y
    read -r x y <<<"$(bar_control_rect 1247 | awk '{ print $1 + 12, int(($2 + $4) / 2) }')"
    xdotool mousemove "$x" "$y" click 1 sleep 0.3 key Down sleep 0.3 key Down Down sleep 0.2 key Return
    wait_for 10 "another face" eval '[ "$(style_field "$cap" 0)" != "$font" ]'
    [ "$(style_field "$cap" 0)" -gt 1 ] || fail "no face from the list: $(styles_of "$cap")"
    step "a face that is not installed gives the default face"
    type_into_combo 1247 ""
    xdotool key ctrl+a
    xdotool type --delay 30 "No Such Face"
    xdotool key Return
    wait_for 10 "the default face" style_field_is "$cap" 0 1

    step "18 and Enter in the size box, a letter typed on the way left out"
    type_into_combo 1246 1x8
    xdotool key Return
    wait_for 10 "size 18" style_field_is "$cap" 1 18
    [ "$(text_field "$cap" 1)" = 18 ] || fail "the caption's text kept its size: $(styles_of "$cap")"

    step "1639 is refused with a message and changes nothing"
    type_into_combo 1246 1639
    xdotool key Return
    wait_for 10 "the refusal" eval 'ask alerts | grep -q "between 1 and 1638"'
    dismiss_alert
    style_field_is "$cap" 1 18 || fail "the refused size changed the caption: $(styles_of "$cap")"
    wait_for 10 "the box showing 18 again" combo_text_is 1246 18

    step "Esc brings back the size shown"
    type_into_combo 1246 30
    xdotool key Escape
    wait_for 10 "the box showing 18" combo_text_is 1246 18
    style_field_is "$cap" 1 18 || fail "Esc applied a size: $(styles_of "$cap")"

    step "the colour menu's swatches are drawn in their colours and red colours the caption"
    # shellcheck disable=SC2046
    xdotool mousemove $(bar_control_rect 1248 | centre) click 1
    wait_for 10 "the colour menu" popup_open
    local l t r b
    read -r l t r b <<<"$(ask popup-rect 1)"
    is_red() { [ "$(pixel $((l + 24)) $(((t + b) / 2)))" = "255,0,0" ]; }
    is_red || fail "the second swatch is not drawn red: $(pixel $((l + 24)) $(((t + b) / 2)))"
    local bl bt br bb
    read -r bl bt br bb <<<"$(ask popup-rect 6)"
    [ "$(pixel $((bl + 24)) $(((bt + bb) / 2)))" = "0,0,255" ] || fail "the seventh swatch is not blue"
    shot colour-menu
    xdotool mousemove $((l + 24)) $(((t + b) / 2)) sleep 0.2 click 1
    wait_for 10 "the caption red" colour_is "$cap" 255,0,0

    step "the swatch opens the colour dialog"
    # shellcheck disable=SC2046
    xdotool mousemove $(bar_control_rect 1249 | centre) click 1
    wait_for 10 "the colour dialog" dialog_open
    ask dialog | head -n1 | grep -qi "colo" || fail "not the colour dialog: $(ask dialog | head -n1)"
    ask dialog-click 2 >/dev/null
    wait_for 10 "the colour dialog to close" no_dialog
    colour_is "$cap" 255,0,0 || fail "cancelling the colour dialog changed the colour"

    step "floated and closed by its close box, the palette is offered again in the menu"
    local gx gy
    gx=$(( ($(bar_control_rect 1246 | awk '{ print $3 }') + $(bar_control_rect 32882 | awk '{ print $1 }')) / 2 ))
    gy=$(bar_control_rect 32882 | awk '{ print int(($2 + $4) / 2) }')
    xdotool mousemove "$gx" "$gy" mousedown 1 sleep 0.2 mousemove $((gx + 10)) $((gy - 60)) \
            sleep 0.2 mousemove 300 200 sleep 0.3 mouseup 1
    palette_floats() { [ "$(bar_line palette | awk '{ print $3 }')" = 1 ]; }
    wait_for 10 "the palette floating" palette_floats
    local frame fx fy fw
    frame=$(xdotool search --name '^Text Palette$' | head -n1)
    [ -n "$frame" ] || fail "no floating frame of the palette"
    read -r fx fy fw <<<"$(xdotool getwindowgeometry "$frame" | awk '/Position/ { split($2, p, ","); x = p[1]; y = p[2] }
        /Geometry/ { split($2, g, "x"); print x, y, g[1] }')"
    shot floating-palette
    xdotool mousemove $((fx + fw - 14)) $((fy + 10)) click 1
    wait_for 10 "the palette hidden" bar_shown_is palette 0
    open_bar_menu 2
    popup_text 85 | grep -q '^Show &Text Palette' || fail "the menu item reads: $(popup_text 85)"
    close_menus
}

edited_has() { ask edited-text | grep -q -- "$1"; }
edited_is_not() { [ "$(ask edited-text)" != "$1" ]; }
# The screen point inside the caption at a fraction of its width (sketch bounds).
caption_point() {
    local l t r b
    read -r l t r b <<<"$(ask bounds "$1")"
    screen_point $((l + (r - l) * $2 / 100)) $(((t + b) / 2))
}

scenario_notation_bar() {
    start_program
    wait_for 30 "the first document" has_docs 1
    click_menu_item 2 85
    wait_for 10 "the palette shown" bar_shown_is palette 1
    make_caption 120 80 "one two"
    local cap
    cap=$(caption_index)

    step "a word of a caption double-clicked with the text tool, selected, turns bold from the palette"
    # shellcheck disable=SC2046
    xdotool mousemove $(caption_point "$cap" 50) click --repeat 2 --delay 80 1
    wait_for 10 "caption editing" editing_is 1
    # shellcheck disable=SC2046
    xdotool mousemove $(caption_point "$cap" 80) sleep 0.2 click --repeat 2 --delay 80 1
    sleep 0.5
    # shellcheck disable=SC2046
    xdotool mousemove $(bar_control_rect 32882 | centre) click 1
    wait_for 10 "the word bold" edited_has "W2"
    editing_is 1 || fail "the palette's button ended the edit"
    ask edited-text | grep -q "one" || fail "the first word went: $(ask edited-text)"

    step "Symbolic Notation shows the bar right of the docked palette"
    # shellcheck disable=SC2046
    xdotool mousemove $(bar_control_rect 33910 | centre) click 1
    wait_for 10 "the notation bar" bar_shown_is notation 1
    local pl pt pr nl nt nf
    read -r _ _ _ pl pt pr _ <<<"$(bar_line palette)"
    read -r _ _ nf nl nt _ <<<"$(bar_line notation)"
    [ "$nf" = 0 ] && [ "$nl" -ge "$pr" ] && [ "$nt" = "$pt" ] ||
        fail "the bar is not beside the palette: $(bar_line palette) / $(bar_line notation)"
    bar_control_checked_is 33910 1 || fail "the switch is not checked: $(bar_control 33910)"
    shot notation

    step "Fraction and Pi insert into the text"
    local before
    before=$(ask edited-text)
    # shellcheck disable=SC2046
    xdotool mousemove $(bar_control_rect 32804 | centre) click 1
    wait_for 10 "a fraction" edited_is_not "$before"
    before=$(ask edited-text)
    # shellcheck disable=SC2046
    xdotool mousemove $(bar_control_rect 32813 | centre) click 1
    wait_for 10 "pi" edited_is_not "$before"

    step "the Symbol menu opens on the press, its items drawn"
    # shellcheck disable=SC2046
    xdotool mousemove $(bar_control_rect 32819 | centre) mousedown 1
    wait_for 10 "the symbol menu while the button is down" popup_open
    local count
    count=$(ask popup-menu | grep -c '^0|')
    [ "$count" = 31 ] || fail "not 31 symbols: $(ask popup-menu)"
    local l t r b
    read -r l t r b <<<"$(ask popup-rect 3)"
    dark_near $(((l + r) / 2)) $(((t + b) / 2)) 6 || fail "the fourth symbol is not drawn"
    read -r l t r b <<<"$(ask popup-rect 0)"
    dark_near $(((l + r) / 2)) $(((t + b) / 2)) 6 || fail "the triangle glyph is not drawn"
    shot symbols
    xdotool mouseup 1
    xdotool key Escape
    wait_for 10 "the symbol menu to close" no_popup

    step "ending the edit hides the bar; the next edit shows it again"
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 420 260) click 1
    wait_for 10 "editing to end" editing_is 0
    wait_for 10 "the bar hidden" bar_shown_is notation 0
    # shellcheck disable=SC2046
    xdotool mousemove $(caption_point "$cap" 50) click --repeat 2 --delay 80 1
    wait_for 10 "caption editing" editing_is 1
    wait_for 10 "the bar shown again" bar_shown_is notation 1

    step "dragged away, the bar comes back where the user left it"
    # The bar is taken by the gap between its overbars and its templates.
    local gx gy
    gx=$(( ($(bar_control_rect 32803 | awk '{ print $3 }') + $(bar_control_rect 32804 | awk '{ print $1 }')) / 2 ))
    gy=$(bar_control_rect 32803 | awk '{ print int(($2 + $4) / 2) }')
    xdotool mousemove "$gx" "$gy" mousedown 1 sleep 0.2 mousemove $((gx + 10)) $((gy - 60)) \
            sleep 0.2 mousemove 400 200 sleep 0.3 mouseup 1
    floats() { [ "$(bar_line notation | awk '{ print $3 }')" = 1 ]; }
    wait_for 10 "the bar floating" floats
    local moved
    moved=$(bar_line notation | awk '{ print $4, $5 }')
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 420 260) click 1
    wait_for 10 "editing to end" editing_is 0
    wait_for 10 "the bar hidden" bar_shown_is notation 0
    # shellcheck disable=SC2046
    xdotool mousemove $(caption_point "$cap" 50) click --repeat 2 --delay 80 1
    wait_for 10 "the bar shown again" bar_shown_is notation 1
    [ "$(bar_line notation | awk '{ print $4, $5 }')" = "$moved" ] ||
        fail "the bar did not come back where it was left: $moved / $(bar_line notation)"
}

# The position among the open pop-up's own items of the item with that text.
popup_position_of_text() { ask popup-menu | awk -F'|' -v t="$1" '$1 == 0 { n++ } $1 == 0 && $2 == t { print n - 1; exit }'; }
# Opens the submenu of the open pop-up's item with that text by pointing at it.
open_submenu() {
    local at
    at=$(popup_position_of_text "$1")
    [ -n "$at" ] || fail "no item '$1' in the open menu: $(ask popup-menu)"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$at" | centre) sleep 0.3 click 1
    submenu_open() { ask popup-menu | grep -q "$2"; }
    wait_for 10 "the submenu '$1'" submenu_open "$1" "$2"
}
segment_index() { ask objects | awk '$1 == 2 { print NR - 1 }' | sed -n "${1}p"; }

scenario_text_sizes_and_colours() {
    start_program
    wait_for 30 "the first document" has_docs 1
    make_caption 120 80 "Sized"
    local cap
    cap=$(caption_index)
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    focus_view
    ask select "$cap" >/dev/null
    style_field_is "$cap" 1 12 || fail "the new caption is not 12 points: $(styles_of "$cap")"

    step "Alt+> on a 12-point caption gives 14, then 18; Alt+< goes back"
    xdotool key alt+period
    wait_for 10 "14 points" style_field_is "$cap" 1 14
    [ "$(text_field "$cap" 1)" = 14 ] || fail "the caption's text kept its size: $(styles_of "$cap")"
    xdotool key alt+period
    wait_for 10 "18 points" style_field_is "$cap" 1 18
    xdotool key alt+comma
    wait_for 10 "14 points again" style_field_is "$cap" 1 14

    step "the font submenu checks the caption's face, and only it"
    open_bar_menu 2
    open_submenu "Te&xt" '|32892|'
    local checked
    checked=$(ask popup-menu | awk -F'|' '$3 >= 32900 && $3 < 33900 && $6 == 1 { print $2 }')
    [ "$(echo "$checked" | grep -c .)" = 1 ] || fail "not one face checked: '$checked'"
    shot font-menu
    # The submenu, the Display menu, then the menu bar's own highlight.
    xdotool key Escape Escape Escape
    wait_for 10 "the menus to close" no_popup

    step "Display > Color's swatches colour a segment, and new ones unless Shift was held"
    [ "$(ask build-segment 100 200 260 240)" = ok ] || fail "the segment could not be made"
    local seg
    seg=$(segment_index 1)
    ask select "$seg" >/dev/null
    open_bar_menu 2
    open_submenu "&Color" '|32860|'
    local l t r b
    read -r l t r b <<<"$(ask popup-rect 1)"
    [ "$(pixel $((l + 24)) $(((t + b) / 2)))" = "255,0,0" ] || fail "the second swatch is not red"
    shot colour-submenu
    xdotool mousemove $((l + 24)) $(((t + b) / 2)) sleep 0.2 click 1
    wait_for 10 "the segment red" colour_is "$seg" 255,0,0
    [ "$(ask build-segment 100 260 260 300)" = ok ] || fail "the second segment could not be made"
    colour_is "$(segment_index 2)" 255,0,0 || fail "a new segment is not red: $(ask colors)"

    ask select "$seg" >/dev/null
    open_bar_menu 2
    open_submenu "&Color" '|32860|'
    read -r l t r b <<<"$(ask popup-rect 6)"
    xdotool mousemove $((l + 24)) $(((t + b) / 2)) sleep 0.2 keydown shift sleep 0.3 click 1 sleep 0.3 keyup shift
    wait_for 10 "the segment blue" colour_is "$seg" 0,0,255
    [ "$(ask build-segment 100 320 260 360)" = ok ] || fail "the third segment could not be made"
    colour_is "$(segment_index 3)" 255,0,0 || fail "Shift changed the colour of new segments: $(ask colors)"
}

scenario_text_style_dialog() {
    start_program
    wait_for 30 "the first document" has_docs 1
    make_caption 120 80 "Strong"
    make_caption 120 160 "Quiet"
    local first second
    first=$(ask objects | awk '$1 == 0 { print NR - 1; exit }')
    second=$(ask objects | awk '$1 == 0 { n++; if (n == 2) { print NR - 1; exit } }')
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    ask select "$first" >/dev/null
    wait_for 10 "the palette enabled" eval '[ "$(bar_control 32882 | cut -d"|" -f4)" = 1 ]'
    # shellcheck disable=SC2046
    xdotool mousemove $(bar_control_rect 32882 | centre) click 1
    wait_for 10 "the first caption bold" style_field_is "$first" 2 2

    step "Text Style on a bold and a plain caption: Bold shows the third state and cycles"
    ask select "$first" "$second" >/dev/null
    ask command 32894 >/dev/null
    wait_for 10 "the Text Style dialog" dialog_title_is "Text Style"
    [ "$(control_field 1123 7)" = 2 ] || fail "Bold is not indeterminate: $(control 1123)"
    [ "$(control_field 1122 3)" = 12 ] || fail "the size box does not show 12: $(control 1122)"
    local state
    for state in 0 1 2; do
        click_control 1123
        wait_for 10 "Bold in state $state" eval '[ "$(control_field 1123 7)" = '"$state"' ]'
    done
    shot text-style-dialog

    step "red from the colour menu goes over the style and shows in the swatch"
    click_control 1248
    wait_for 10 "the colour menu" popup_open
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect 1 | awk '{ print $1 + 24, int(($2 + $4) / 2) }') sleep 0.2 click 1
    wait_for 10 "the colour menu to close" no_popup
    local sl st sr sb
    read -r sl st sr sb <<<"$(control_field 1249 4)"
    swatch_red() { [ "$(pixel $(((sl + sr) / 2 - 1)) $(((st + sb) / 2)))" = "255,0,0" ]; }
    wait_for 10 "a red swatch" swatch_red

    step "OK with 11 keeps each caption's weight"
    ask dialog-set 1122 "" >/dev/null
    click_control 1122
    xdotool type --delay 40 "1x1"
    wait_for 10 "letters left out" eval '[ "$(control_field 1122 3)" = 11 ]'
    click_control 1
    wait_for 10 "the dialog to close" no_dialog
    wait_for 10 "11 points" style_field_is "$first" 1 11
    style_field_is "$second" 1 11 || fail "the second caption is not 11 points: $(styles_of "$second")"
    style_field_is "$first" 2 2 || fail "the bold caption lost its weight: $(styles_of "$first")"
    [ "$(style_field "$second" 2)" != 2 ] || fail "the plain caption turned bold: $(styles_of "$second")"
    colour_is "$first" 255,0,0 && colour_is "$second" 255,0,0 || fail "the captions are not red: $(ask colors)"
}
