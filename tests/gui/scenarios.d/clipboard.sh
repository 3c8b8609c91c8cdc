# Scenarios of the Edit menu's clipboard commands and of pictures. On the other side of the
# clipboard: Wine's Notepad and WordPad for text and for our pictures, a second copy of the
# program, and a helper program (figclip) for what no program here offers: bitmaps and
# metafiles of chosen bytes, and a clipboard held open. Sourced by tests/gui/scenarios;
# the menu helpers are program.sh's and first_use.sh's.

clip() { timeout 20 wine "$build/figclip.exe" "$@" 2>/dev/null | tr -d '\r'; }
clip_has() { clip list | grep -q " $1\$"; }
clip_lacks() { ! clip_has "$1"; }
count_is() { [ "$(ask objects | grep -c .)" = "$1" ]; }
# The menu code of the Edit menu's Undo item, whatever its text says now.
undo_id() { ask menus | awk -F'|' '$2 ~ /^&Undo/ { print $3; exit }'; }
undo_once() { ask command "$(undo_id)" >/dev/null; }
point_at() { ask objects | awk -v x="$1" -v y="$2" '$1 == 1 && $6 == x && $7 == y { f = 1 } END { exit !f }'; }
# The Paste item's text as the Edit menu shows it.
paste_text() { menu_item_text 1 99; }
paste_text_is() { [ "$(paste_text)" = "$1" ]; }

scenario_clipboard_objects() {
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    ask select 0 1 2 >/dev/null

    step "Edit > Copy: a metafile and the objects, no text"
    click_menu_item 1 98
    wait_for 10 "the objects on the clipboard" clip_has YRN400ScriptFormat
    local formats
    formats=$(clip list)
    echo "$formats" | grep -q ' CF_ENHMETAFILE$' || fail "no metafile: $formats"
    echo "$formats" | grep -q ' CF_METAFILEPICT$' || fail "Wine derived no old-style metafile: $formats"
    echo "$formats" | grep -q ' CF_TEXT$' && fail "text on the clipboard: $formats"
    [ "$(clip block YRN400ScriptFormat)" -gt 12 ] || fail "the objects block is too small"
    [ "$(count_of_class 1)" = 2 ] || fail "Copy changed the sketch"

    step "two Pastes land 20 and 40 units off, one Undo each"
    click_menu_item 1 99
    wait_for 10 "the first paste" count_is 6
    point_at 120.0 120.0 || fail "the first paste is not 20 off: $(ask objects)"
    click_menu_item 1 99
    wait_for 10 "the second paste" count_is 9
    point_at 140.0 140.0 || fail "the second paste is not 40 off: $(ask objects)"
    undo_once
    wait_for 10 "the second paste undone" count_is 6
    undo_once
    wait_for 10 "the first paste undone" count_is 3

    step "after a 200 px scroll a Paste is centred in the window, the next 20 off that"
    # An Alt drag 200 px to the left: the window then shows sketch x from 200 on.
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 450 200) keydown alt mousedown 1 sleep 0.2 \
            mousemove $(screen_point 350 200) sleep 0.1 mousemove $(screen_point 250 200) sleep 0.2 \
            mouseup 1 keyup alt
    xdotool key Escape
    scrolled() { ask scrollbars | grep -q '^control H .* 200$'; }
    wait_for 10 "the view scrolled by 200: $(ask scrollbars | tr '\n' ' ')" scrolled
    click_menu_item 1 99
    wait_for 10 "the paste after the scroll" count_is 6
    # The window in sketch units, from the bars: position and page.
    local cx cy
    read -r cx cy <<<"$(ask scrollbars | awk '$2 == "H" { x = $6 + $5 / 2 } $2 == "V" { y = $6 + $5 / 2 } END { print x, y }')"
    centred_at() {
        ask objects | sed -n "$1,$(($1 + 1))p" | awk -v cx="$2" -v cy="$3" '{ x += $6 / 2; y += $7 / 2 }
            END { dx = x - cx; dy = y - cy; exit !(dx * dx <= 1 && dy * dy <= 1) }'
    }
    centred_at 4 "$cx" "$cy" || fail "not centred on ($cx, $cy): $(ask objects)"
    click_menu_item 1 99
    wait_for 10 "the next paste" count_is 9
    centred_at 7 $((${cx%.*} + 20)) $((${cy%.*} + 20)) || fail "the next paste is not 20 off the centred one: $(ask objects)"
    undo_once
    wait_for 10 "the second paste undone" count_is 6
    undo_once
    wait_for 10 "the first paste undone" count_is 3

    step "Cut and Paste"
    ask select 2 >/dev/null
    click_menu_item 1 97
    wait_for 10 "the segment cut" count_is 2
    click_menu_item 1 99
    wait_for 10 "the segment pasted" count_is 5

    step "a clipboard held by another program: Copy says so, Cut deletes nothing"
    : >"$work/hold.txt"
    timeout 60 wine "$build/figclip.exe" hold 40 >"$work/hold.txt" 2>/dev/null &
    local holder=$!
    holding() { grep -q holding "$work/hold.txt"; }
    wait_for 10 "the helper to hold the clipboard" holding
    ask select 0 >/dev/null
    [ "$(clip try-open)" = busy ] || fail "the helper does not hold the clipboard"
    click_menu_item 1 97
    # The message box has an empty caption: the first line of the reply is empty.
    message_shown() { ask dialog | grep -q '|Cannot open the Clipboard|'; }
    wait_for 10 "the message" message_shown
    ask dialog-click 1 >/dev/null || ask dialog-click 2 >/dev/null
    wait_for 10 "the message to close" no_dialog
    count_is 5 || fail "Cut deleted objects that never reached the clipboard"
    kill "$holder" 2>/dev/null || true
    wait "$holder" 2>/dev/null || true
}

# The picture objects' lines of `ask objects` (class 16): "x y" of their centres.
pictures() { ask objects | awk '$1 == 16 { print $6, $7 }'; }
picture_count_is() { [ "$(pictures | grep -c .)" = "$1" ]; }
# The screen colour at sketch point (X, Y).
colour_at() {
    local p
    p=$(screen_point "$1" "$2")
    # shellcheck disable=SC2086
    pixel $p
}
menu_id_of_text() { ask menus | awk -F'|' -v t="$1" 'index($2, t) == 1 { print $3; exit }'; }
hidden_count_is() { [ "$(ask objects | awk '$5 == 1' | grep -c .)" = "$1" ]; }

scenario_clipboard_pictures() {
    start_program
    wait_for 30 "the first document" has_docs 1

    step "a 24-bit DIB: Paste Picture, natural size, its pixels"
    clip put-dib24 40 20 >/dev/null
    paste_text | grep -q '^&Paste Picture' || fail "the Paste item reads: $(paste_text)"
    click_menu_item 1 99
    wait_for 10 "the picture" picture_count_is 1
    local x y
    read -r x y <<<"$(pictures | head -n1)"
    x=${x%.*}
    y=${y%.*}
    [ "$(colour_at $((x - 10)) "$y")" = "255,0,0" ] || fail "the left half is not red: $(colour_at $((x - 10)) "$y")"
    [ "$(colour_at $((x + 10)) "$y")" = "0,0,255" ] || fail "the right half is not blue"
    is_white "$(colour_at $((x + 25)) "$y")" || fail "the picture is wider than its natural 40"

    step "a run-length DIB becomes a metafile picture with its pixels"
    clip put-rle8 >/dev/null
    ask select >/dev/null
    click_menu_item 1 99
    wait_for 10 "the second picture" picture_count_is 2
    ask select >/dev/null
    read -r x y <<<"$(pictures | sed -n 2p)"
    [ "$(colour_at "${x%.*}" "${y%.*}")" = "0,255,0" ] || fail "the run-length picture: $(colour_at "${x%.*}" "${y%.*}")"

    step "a truncated DIB gives nothing"
    clip put-truncated >/dev/null
    ask select >/dev/null
    click_menu_item 1 99
    sleep 1
    picture_count_is 2 || fail "a truncated bitmap made a picture"

    step "a metafile: natural size, frame when selected, faded out by Hide"
    clip put-metafile 60 30 >/dev/null
    ask select >/dev/null
    click_menu_item 1 99
    wait_for 10 "the metafile picture" picture_count_is 3
    read -r x y <<<"$(pictures | sed -n 3p)"
    x=${x%.*}
    y=${y%.*}
    [ "$(colour_at "$x" "$y")" = "0,160,0" ] || fail "the metafile picture: $(colour_at "$x" "$y")"
    is_white "$(colour_at $((x + 35)) "$y")" || fail "the metafile picture is wider than 60"
    # Selected (the paste selects it): the frame's 5 pixels inside the edge are not green.
    [ "$(colour_at $((x - 28)) "$y")" != "0,160,0" ] || fail "no frame around the selected picture"
    ask command "$(menu_id_of_text '&Hide Picture')" >/dev/null
    wait_for 10 "the picture hidden" hidden_count_is 1
    wait_for 10 "the faded picture gone" is_white "$(colour_at "$x" "$y")"

    step "the bottom right grip stretches the 24-bit picture to 80 x 20"
    # Only across: grown down it would reach the run-length picture below it.
    local first l t r b
    first=$(picture_index 1)
    ask select "$first" >/dev/null
    read -r l t r b <<<"$(ask bounds "$first")"
    # Selected: the frame along the edge, and in its bottom right corner the grip, a square
    # of the background.
    framed() { [ "$(colour_at $((r - 2)) $((b - 9)))" != "0,0,255" ] && ! is_white "$(colour_at $((r - 2)) $((b - 9)))"; }
    wait_for 10 "the frame of the selected picture" framed
    is_white "$(colour_at $((r - 2)) $((b - 2)))" || fail "no grip in the frame's corner: $(colour_at $((r - 2)) $((b - 2)))"
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point $((r - 2)) $((b - 2))) mousedown 1 sleep 0.2 \
            mousemove $(screen_point $((r + 18)) $((b - 2))) sleep 0.1 \
            mousemove $(screen_point $((r + 38)) $((b - 2))) sleep 0.2 mouseup 1
    wait_for 10 "the picture resized" eval '[ "$(ask bounds "$first")" = "$l $t $((l + 80)) $b" ]'
    ask select >/dev/null
    wait_for 10 "the blue half drawn wider" eval '[ "$(colour_at $((l + 75)) $((t + 10)))" = "0,0,255" ]'
    [ "$(colour_at $((l + 35)) $((t + 10)))" = "255,0,0" ] || fail "the red half did not stretch"
    is_white "$(colour_at $((l + 85)) $((t + 10)))" || fail "the picture is wider than 80"

    step "saved and reopened: the same pixels"
    local before
    before=$(picture_crops)
    [ "$(echo "$before" | wc -w)" = 3 ] || fail "not three pictures to compare: $before"
    ask command 57604 >/dev/null
    answer_file_dialog "$(windows_path "$work/pictures.yrn")"
    wait_for 30 "the file on disk" test -s "$work/pictures.yrn"
    ask command 36868 >/dev/null
    wait_for 30 "the document closed" has_docs 0
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$work/pictures.yrn")"
    wait_for 30 "the document reopened" has_docs 1
    wait_for 10 "three pictures" picture_count_is 3
    hidden_count_is 1 || fail "the hidden picture came back shown: $(ask objects)"
    wait_for 10 "the pictures drawn as they were" eval '[ "$(picture_crops)" = "$before" ]'
    shot reopened
}
# The position among the objects of the Nth picture.
picture_index() { ask objects | awk -v n="$1" '$1 == 16 && ++k == n { print NR - 1; exit }'; }
# A digest of the screen's pixels over each picture's bounds, from one screenshot.
picture_crops() {
    import -window root "$work/crops.png"
    local i l t r b
    for i in $(ask objects | awk '$1 == 16 { print NR - 1 }'); do
        read -r l t r b <<<"$(ask bounds "$i")"
        local size="$((r - l))x$((b - t))"
        read -r l t <<<"$(screen_point "$l" "$t")"
        convert "$work/crops.png" -crop "$size+$l+$t" +repage -format "%# " info:
    done
}

editing_is() { [ "$(ask editing)" = "$1" ]; }
clip_text_is() { [ "$(clip text)" = "$1" ]; }

# Wine's Notepad and WordPad on the other side of the clipboard. New windows appear at the
# top left, over the program's: each is placed beside it, and typed into with a click on
# the middle of its text box.
notepad_box="897 200"
wordpad_box="897 660"
start_other() {
    local title=$1 left=$2 top=$3 width=$4 height=$5
    shift 5
    wine "$@" >/dev/null 2>&1 </dev/null &
    shown() { [ "$(clip window-text "$title")" != none ]; }
    wait_for 60 "$title" shown
    clip place "$title" "$left" "$top" "$width" "$height" >/dev/null
}
# Replaces what the other program's text box holds with the clipboard's text.
paste_into() {
    # shellcheck disable=SC2086
    xdotool mousemove $1 $2 click 1 sleep 0.3 key ctrl+a ctrl+v
}
notepad_holds() { [ "$(clip window-text Notepad)" = "$1" ]; }
# The Paste item's text and whether it is grey, as the Edit menu shows them.
paste_state() {
    # shellcheck disable=SC2046
    xdotool mousemove $(ask menurect 1 | centre) click 1
    wait_for 10 "the Edit menu" popup_open
    ask popup-menu | awk -F'|' '$1 == 0 && $4 == 99 { print $2 "|" $5; exit }'
    xdotool key Escape sleep 0.2 key Escape
    wait_for 10 "the menu to close" no_popup
}
# Starts a caption with the text tool, with a double click at sketch point (X, Y).
edit_new_caption() {
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32779) click 1
    wait_for 10 "the text tool" tool_now 10
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point "$1" "$2") click --repeat 2 --delay 80 1
    wait_for 10 "caption editing" editing_is 1
}

scenario_clipboard_other_programs() {
    start_program
    wait_for 30 "the first document" has_docs 1
    start_other Notepad 770 0 254 370 notepad

    step "Notepad: typed text, Ctrl+A, Ctrl+C; a caption being edited offers and pastes it"
    # shellcheck disable=SC2086
    xdotool mousemove $notepad_box click 1 sleep 0.3 type --delay 20 "from elsewhere"
    # Every typed key taken before Ctrl goes down: on a busy machine a key still queued
    # when Ctrl is pressed arrives as a Ctrl key.
    wait_for 10 "the text in Notepad" notepad_holds "from elsewhere"
    xdotool key ctrl+a ctrl+c
    wait_for 10 "Notepad's text on the clipboard" clip_text_is "from elsewhere"
    edit_new_caption 150 80
    paste_text | grep -q '^&Paste Text' || fail "the Paste item while editing reads: $(paste_text)"
    click_menu_item 1 99
    xdotool type --delay 20 " and back"

    step "text copied from the caption pastes into Notepad"
    # Edit > Select All Text (the menu, not Ctrl+A: no key typed before can become a Ctrl key).
    click_menu_item 1 46
    click_menu_item 1 98
    wait_for 10 "the caption's text on the clipboard" clip_has YRN400MfsFormat
    paste_into $notepad_box
    wait_for 10 "the caption's text in Notepad" notepad_holds "from elsewhere and back"

    step "WordPad: two lines copied (ending in CR LF) paste into a caption as two lines"
    start_other Wordpad 770 380 254 388 "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"
    # shellcheck disable=SC2086
    xdotool mousemove $wordpad_box click 1 sleep 0.3 type --delay 20 "line one"
    xdotool key Return type --delay 20 "line two"
    xdotool key Return
    wait_for 10 "the lines in WordPad" eval '[ "$(clip window-text Wordpad)" = "$(printf "line one\nline two\n")" ]'
    xdotool key ctrl+a ctrl+c
    wait_for 10 "WordPad's text on the clipboard" eval 'clip_has "Rich Text Format" && [ "$(clip text)" = "$(printf "line one\nline two\n")" ]'
    edit_new_caption 150 200
    paste_text | grep -q '^&Paste Text' || fail "the Paste item while editing reads: $(paste_text)"
    click_menu_item 1 99
    click_menu_item 1 46
    click_menu_item 1 98
    wait_for 10 "the caption's text on the clipboard" clip_has YRN400MfsFormat
    paste_into $notepad_box
    # Notepad's box gives its lines back with CR LF, which the text helper's output loses.
    wait_for 10 "both lines in Notepad" eval '[ "$(clip window-text Notepad)" = "$(printf "line one\nline two\n")" ]'
    focus_view
    wait_for 10 "editing to end" editing_is 0
    [ "$(count_of_class 0)" = 2 ] || fail "not two captions: $(ask objects)"

    step "a copied segment pasted into WordPad: its own copy holds our metafile"
    [ "$(ask build-segment 300 100 420 160)" = ok ] || fail "the segment could not be made"
    wait_for 10 "the segment" eval '[ "$(count_of_class 1)" = 2 ]'
    # shellcheck disable=SC2046
    ask select $(ask objects | awk '$1 != 0 { printf "%s ", NR - 1 }') >/dev/null
    click_menu_item 1 98
    wait_for 10 "the objects on the clipboard" clip_has YRN400ScriptFormat
    paste_into $wordpad_box
    sleep 0.5
    xdotool key ctrl+a ctrl+c
    wait_for 10 "WordPad's copy" eval 'clip_has "Rich Text Format" && clip_lacks YRN400ScriptFormat'
    clip save "Rich Text Format" "$work/wordpad.rtf" >/dev/null
    grep -q '\\emfblip' "$work/wordpad.rtf" || fail "no metafile picture in WordPad's copy: $(head -c 400 "$work/wordpad.rtf")"
    # The metafile's description, as the UTF-16 hex digits of the picture's data.
    tr -d '\r\n' <"$work/wordpad.rtf" | grep -qi '560065006c006d006f0072006100' ||
        fail "WordPad's picture is not our metafile"

    step "WordPad's copy offers no picture we can take: Paste stays grey"
    focus_view
    ask select >/dev/null
    local state
    state=$(paste_state)
    [ "${state#*|}" = 1 ] || fail "the Paste item is not grey with WordPad's picture copied: $state"
    clip list | grep -qE ' (CF_DIB|CF_ENHMETAFILE|CF_METAFILEPICT)$' && fail "WordPad offered a picture: $(clip list)"
    true
}

# The id of the edit box that follows a label in the front dialog.
dialog_edit_after() { ask dialog | awk -F'|' -v label="$1" 'take && $2 == "Edit" { print $1; exit } $3 == label { take = 1 }'; }
green_near() {
    import -window root "$work/near.png"
    convert "$work/near.png" -crop "9x9+$(($1 - 4))+$(($2 - 4))" -format '%c' histogram:info: |
        grep -q '( *0, *160, *0)'
}

# Paints the selection in a colour (red, green, blue) typed into Display > Color > Other...
paint_selection() {
    ask command "$(menu_id_of_text '&Other...')" >/dev/null
    wait_for 10 "the colour dialog" dialog_open
    local red green blue
    red=$(dialog_edit_after '&Red:')
    green=$(dialog_edit_after '&Green:')
    blue=$(dialog_edit_after '&Blue:')
    [ -n "$red" ] && [ -n "$green" ] && [ -n "$blue" ] || fail "no colour boxes: $(ask dialog)"
    ask dialog-set "$red" "$1" >/dev/null
    ask dialog-set "$green" "$2" >/dev/null
    ask dialog-set "$blue" "$3" >/dev/null
    ask dialog-click 1 >/dev/null
    wait_for 10 "the colour dialog to close" no_dialog
}

scenario_other_colour() {
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    ask select 0 >/dev/null

    step "Display > Color > Other...: a colour typed in the dialog paints the selected point"
    paint_selection 0 160 0
    ask select >/dev/null
    # shellcheck disable=SC2046
    wait_for 10 "the point painted" green_near $(screen_point 100 100)

    step "without Shift, the next point takes the colour"
    # shellcheck disable=SC2086
    xdotool mousemove $(ask toolbutton 32774) click 1
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 300 60) click 1
    wait_for 10 "the new point" class_count_is 1 3
    ask select >/dev/null
    # shellcheck disable=SC2046
    wait_for 10 "the new point painted" green_near $(screen_point 300 60)
}

# The second copy of the program runs in a prefix of its own, with its own wineserver;
# the two meet only through the X clipboard.
second_prefix() { echo "$build/wpfx-gui-second"; }
ask_second() { WINEPREFIX=$(second_prefix) timeout 20 wine "$build/figdriver.exe" "$@" 2>/dev/null | tr -d '\r'; }
second_answers() { [ "$(ask_second ping)" = pong ]; }
second_count_is() { [ "$(ask_second objects | grep -c .)" = "$1" ]; }

scenario_clipboard_second_copy() {
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"
    ask select 0 1 2 >/dev/null
    click_menu_item 1 98
    wait_for 10 "the objects on the clipboard" clip_has YRN400ScriptFormat

    step "a second copy in its own prefix pastes them: same classes, centred in its window"
    second_pid=
    local prefix
    prefix=$(second_prefix)
    if [ ! -f "$prefix/system.reg" ]; then
        WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1 </dev/null || true
        WINEPREFIX=$prefix wineserver -w
    fi
    # Detached from the test's output: a server left holding the pipe would keep the test
    # from ending.
    WINEPREFIX=$prefix wineserver -p >/dev/null 2>&1 </dev/null
    WINEPREFIX=$prefix wine "$build/figmantle_test.exe" >/dev/null 2>&1 </dev/null &
    second_pid=$!
    stop_second() {
        ask_second command 57665 >/dev/null || true
        sleep 1
        [ -n "${second_pid:-}" ] && kill "$second_pid" 2>/dev/null || true
        WINEPREFIX=$(second_prefix) wineserver -k 2>/dev/null || true
    }
    trap 'stop_second; end_program' EXIT
    wait_for 90 "the second copy to answer" second_answers
    paste_second() { ask_second command "$(ask_second menus | awk -F'|' '$4 == 99 { print $3; exit }')" >/dev/null; }
    wait_for 20 "the second copy's first document" eval '[ "$(ask_second docs | grep -c .)" = 1 ]'
    paste_second
    wait_for 20 "the paste in the second copy" second_count_is 3
    local classes
    classes=$(ask_second objects | awk '{ print $1 }' | sort | tr '\n' ' ')
    [ "$classes" = "1 1 2 " ] || fail "the second copy pasted other classes: $classes"
    ask_second objects | awk '$1 == 1 && $6 == 100.0 && $7 == 100.0 { f = 1 } END { exit f }' ||
        fail "the paste in another document was not centred: $(ask_second objects)"
    paste_second
    wait_for 20 "the second paste there" second_count_is 6

    step "a 24-bit DIB put in the other prefix arrives as a 32-bit top-down one: a picture with its pixels"
    # The second copy's window lies over ours: it quits, its prefix's server stays to serve
    # the bitmap.
    ask_second command 57665 >/dev/null || true
    # Its save prompt on the way out: No.
    second_quit() { ask_second dialog-click 7 >/dev/null 2>&1 || true; ! kill -0 "$second_pid" 2>/dev/null; }
    wait_for 20 "the second copy to quit" second_quit
    # Another Wine server's data can be read here only while the program that put it runs
    # (measured: about a second after it ends, reads fail), so the helper stays, as a
    # program copied from does.
    WINEPREFIX=$prefix FIGCLIP_LINGER=60 wine "$build/figclip.exe" put-dib24 40 20 >/dev/null 2>&1 </dev/null &
    local putter=$!
    wait_for 10 "the bitmap here" clip_has CF_DIB
    clip save CF_DIB "$work/carried.dib" >/dev/null
    local height bits compression
    height=$(od -An -t d4 -j 8 -N 4 "$work/carried.dib" | tr -d ' ')
    bits=$(od -An -t u2 -j 14 -N 2 "$work/carried.dib" | tr -d ' ')
    compression=$(od -An -t u4 -j 16 -N 4 "$work/carried.dib" | tr -d ' ')
    [ "$height $bits $compression" = "-20 32 3" ] || fail "the carried bitmap is not 32-bit top-down with masks: $height $bits $compression"
    # Windows of another Wine server never take the activation from ours (measured: ours
    # stays in front), so what the clipboard offers is looked at again as when the user
    # comes back from a program of our own server.
    clip visit >/dev/null
    ask select >/dev/null
    paste_text | grep -q '^&Paste Picture' || fail "the Paste item reads: $(paste_text)"
    click_menu_item 1 99
    wait_for 10 "the picture" picture_count_is 1
    local x y
    read -r x y <<<"$(pictures | head -n1)"
    x=${x%.*}
    y=${y%.*}
    ask select >/dev/null
    wait_for 10 "the left half red" eval '[ "$(colour_at $((x - 10)) "$y")" = "255,0,0" ]'
    [ "$(colour_at $((x + 10)) "$y")" = "0,0,255" ] || fail "the right half is not blue: $(colour_at $((x + 10)) "$y")"
    kill "$putter" 2>/dev/null || true
    stop_second
    trap end_program EXIT
}
