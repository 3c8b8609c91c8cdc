# Scenarios of action buttons: made from the Edit menu and pressed with the mouse, the
# engine-made kinds pressed and their effects read, a button that runs when its document
# opens, and links that ask before they open anything but a web page.
# Sourced by tests/gui/scenarios, which holds the shared helpers.

# Fields of the front sketch's action button N (0 = the first): 1 position, 2 type,
# 3 caption, 4 run state, 5 bounds.
button_field() { ask buttons | awk -F'|' -v n="$1" -v f="$2" 'NR == n + 1 { print $f }'; }
button_count_is() { [ "$(ask buttons | grep -c .)" = "$1" ]; }
caption_is() { [ "$(button_field "$1" 3)" = "$2" ]; }
running() { [ "$(button_field "$1" 4)" -gt 0 ]; }
idle() { [ "$(button_field "$1" 4)" = 0 ]; }
# Screen points of button N: on its face (clear of the caption and the bevel), and on its
# colour tab.
face_point() {
    local l t r b
    read -r l t r b <<<"$(button_field "$1" 5)"
    screen_point $((r - 3)) $(((t + b) / 2))
}
tab_point() {
    local l t r b
    read -r l t r b <<<"$(button_field "$1" 5)"
    screen_point $((l + 3)) $(((t + b) / 2))
}
face_is() {
    # shellcheck disable=SC2046
    [ "$(pixel $(face_point "$1"))" = "$2" ]
}
# Presses button N with a click on its face.
press() {
    # shellcheck disable=SC2046
    xdotool mousemove $(face_point "$1") click 1
}
# Whether any pixel of the caption area of button N is darker than the face.
caption_inked() {
    local l t r b x y
    read -r l t r b <<<"$(button_field "$1" 5)"
    read -r x y <<<"$(screen_point $((l + 9)) "$t")"
    import -window root "$work/caption.png"
    local darkest
    darkest=$(convert "$work/caption.png" -crop "$((r - l - 13))x$((b - t))+$x+$y" +repage -colorspace gray \
        -format "%[fx:int(255*minima)]" info:)
    [ "$darkest" -lt 100 ]
}
hidden_state() { ask objects | awk -v i="$1" 'NR == i + 1 { print $5 }'; }
both_hidden() { [ "$(hidden_state 0)$(hidden_state 1)" = 11 ]; }
both_shown() { [ "$(hidden_state 0)$(hidden_state 1)" = 00 ]; }
undo_item() { ask menus | awk -F'|' '$4 == 23 { print $3; exit }'; }
xy_of() { ask objects | awk -v i="$1" 'NR == i + 1 { print $6, $7 }'; }
page_is() { [ "$(ask docs | head -n1 | cut -d'|' -f5)" = "$1" ]; }
frames_after() { [ "$(ask frames)" -ge "$1" ]; }

# Through the Edit menu's Action Buttons submenu with the mouse: item J of the submenu.
action_buttons_menu() {
    # shellcheck disable=SC2046
    xdotool mousemove $(ask menurect 1 | centre) click 1
    wait_for 10 "the Edit menu" popup_open
    local at
    at=$(ask popup-menu | awk -F'|' '$1 == 0 { n++ } $1 == 0 && $2 == "Action &Buttons" { print n - 1 }')
    [ -n "$at" ] || fail "no Action Buttons item: $(ask popup-menu)"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$at" | centre)
    submenu_open() { ask popup-menu | head -n1 | grep -q '&Hide/Show'; }
    wait_for 10 "the Action Buttons submenu" submenu_open
    # shellcheck disable=SC2046
    xdotool mousemove $(ask popup-rect "$1" | centre) click 1
    wait_for 10 "the menu to close" no_popup
}

scenario_hide_show_button() {
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 100 100 220 160)" = ok ] || fail "the segment could not be made"

    step "two points selected, Edit > Action Buttons > Hide/Show"
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 100 100) click 1 sleep 0.2 mousemove $(screen_point 220 160) \
            keydown shift click 1 keyup shift
    wait_for 10 "both points selected" selection_is "0 1 "
    action_buttons_menu 0
    wait_for 20 "a button" button_count_is 1
    wait_for 10 "the caption" caption_is 0 "Hide Points"
    wait_for 10 "the raised face" face_is 0 "192,192,192"
    caption_inked 0 || fail "no caption drawn on the button"
    shot made

    step "held down it looks pressed; released, the points hide and it reads Show Points"
    # shellcheck disable=SC2046
    xdotool mousemove $(face_point 0) mousedown 1
    wait_for 10 "the pushed face" face_is 0 "128,128,128"
    both_shown || fail "the points hid before the release"
    xdotool mouseup 1
    wait_for 20 "the points hidden" both_hidden
    wait_for 10 "the caption Show Points" caption_is 0 "Show Points"
    wait_for 10 "the face raised again" face_is 0 "192,192,192"

    step "pressed again the points show and are selected"
    press 0
    wait_for 20 "the points shown" both_shown
    wait_for 10 "the points selected" selection_is "0 1 "
    wait_for 10 "the caption Hide Points" caption_is 0 "Hide Points"

    step "Undo restores each state"
    ask command "$(undo_item)" >/dev/null
    wait_for 20 "the points hidden by Undo" both_hidden
    wait_for 10 "the caption Show Points" caption_is 0 "Show Points"
    ask command "$(undo_item)" >/dev/null
    wait_for 20 "the points shown by Undo" both_shown
    wait_for 10 "the caption Hide Points" caption_is 0 "Hide Points"
}

scenario_button_kinds() {
    start_program
    wait_for 30 "the first document" has_docs 1

    step "an Animate button turns its point round the circle, pushed in while it runs"
    [ "$(ask build-buttons animate)" = ok ] || fail "no Animate button"
    wait_for 10 "the button" button_count_is 1
    local driver=3 before
    before=$(xy_of $driver)
    press 0
    wait_for 10 "the button running" running 0
    wait_for 10 "the pushed face" face_is 0 "128,128,128"
    point_moved() { [ "$(xy_of $driver)" != "$before" ]; }
    wait_for 20 "the point moving" point_moved
    local r
    r=$(polar $(xy_of $driver) 200 200 | cut -d' ' -f1)
    awk -v r="$r" 'BEGIN { exit !(r > 59 && r < 61) }' || fail "the point left its circle: r = $r"
    press 0
    wait_for 10 "the button stopped" idle 0
    wait_for 10 "the raised face" face_is 0 "192,192,192"
    local held
    held=$(xy_of $driver)
    sleep 1
    [ "$(xy_of $driver)" = "$held" ] || fail "the point went on after the button stopped"

    step "a Move button brings two points home, then has nothing to move"
    [ "$(ask build-buttons move)" = ok ] || fail "no Move button"
    wait_for 10 "the button" button_count_is 2
    press 1
    home() { [ "$(xy_of 5)" = "300.0 320.0" ] && [ "$(xy_of 6)" = "340.0 360.0" ]; }
    wait_for 30 "both points home" home
    wait_for 10 "the button idle" idle 1
    press 1
    nothing_to_move() { ask alerts | grep -q "Nothing will move now"; }
    wait_for 20 "the notice that nothing moves" nothing_to_move
    dismiss_alert

    step "a presentation of two Animate buttons starts and stops both"
    [ "$(ask build-buttons present)" = ok ] || fail "no presentation"
    wait_for 10 "the buttons" button_count_is 5
    press 4
    wait_for 10 "the presentation running" running 4
    wait_for 10 "the first member running" running 2
    wait_for 10 "the second member running" running 3
    press 4
    wait_for 10 "the presentation stopped" idle 4
    wait_for 10 "the first member stopped" idle 2
    wait_for 10 "the second member stopped" idle 3

    step "a Scroll button scrolls the window to its point"
    [ "$(ask build-buttons scroll)" = ok ] || fail "no Scroll button"
    wait_for 10 "the button" button_count_is 6
    press 5
    scrolled() { [ "$(ask window | cut -d' ' -f1-2)" = "1500 1200" ]; }
    wait_for 20 "the window at the point" scrolled
}

scenario_button_link_and_open() {
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask add-page Second)" = ok ] || fail "no second page"

    step "a link shows page 2; a link there comes back"
    [ "$(ask build-buttons link)" = ok ] || fail "no link on the first page"
    wait_for 10 "the link" button_count_is 1
    wait_for 10 "its caption" caption_is 0 "Link to Second"
    press 0
    wait_for 20 "the second page" page_is 1
    [ "$(ask build-buttons link)" = ok ] || fail "no link on the second page"
    wait_for 10 "the link back" button_count_is 1
    press 0
    wait_for 20 "the first page" page_is 0

    step "the tab selects the button without pressing it"
    # shellcheck disable=SC2046
    xdotool mousemove $(tab_point 0) click 1
    wait_for 10 "the button selected" selection_is "0 "
    page_is 0 || fail "the tab pressed the button"

    step "saved with the button selected, closed and opened: it runs on opening"
    local file="$work/linked.yrn"
    focus_view
    # shellcheck disable=SC2046
    xdotool mousemove $(tab_point 0) click 1
    wait_for 10 "the button selected again" selection_is "0 "
    xdotool key alt+f
    xdotool key a
    answer_file_dialog "$(windows_path "$file")"
    wait_for 30 "the file on disk" test -s "$file"
    ask command $((0xE1C0)) >/dev/null
    wait_for 20 "no document" has_docs 0
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$file")"
    wait_for 30 "the document again" has_docs 1
    wait_for 20 "the second page, by the button run on opening" page_is 1

    step "after reopening the links still go where they went"
    press 0
    wait_for 20 "the first page" page_is 0
    press 0
    wait_for 20 "the second page" page_is 1
}

scenario_button_link_safety() {
    local record="$WINEPREFIX/drive_c/link-record.txt"
    rm -f "$record"
    # The prefix's web handler is a recorder of the address it is given, while this
    # scenario runs (the prefix is the other scenarios' too).
    restore_handler() {
        wine reg add 'HKCR\http\shell\open\command' /ve /d '"C:\windows\system32\winebrowser.exe" "%1"' /f \
            >/dev/null 2>&1 || true
    }
    trap 'restore_handler; end_program' EXIT
    wine reg add 'HKCR\http\shell\open\command' /ve /d 'C:\windows\system32\cmd.exe /c echo %1> C:\link-record.txt' /f \
        >/dev/null 2>&1 || skip "the http handler cannot be set"
    start_program
    wait_for 30 "the first document" has_docs 1

    step "a web address opens at once, resolved"
    [ "$(ask build-buttons address:www.example.org/a)" = ok ] || fail "no link"
    wait_for 10 "the link" button_count_is 1
    wait_for 10 "its caption" caption_is 0 "www.example.org/a"
    press 0
    wait_for 30 "the recorded address" test -s "$record"
    grep -q "http://www.example.org/a" "$record" || fail "the handler got: $(cat "$record")"
    no_dialog || fail "a web address asked first"

    step "a program's path asks first; the default answer starts nothing"
    [ "$(ask build-buttons 'address:C:\windows\notepad.exe')" = ok ] || fail "no link to the program"
    wait_for 10 "the second link" button_count_is 2
    notepad_open() { xdotool search --name "Notepad" >/dev/null 2>&1; }
    notepad_open && fail "a Notepad window is open already"
    press 1
    wait_for 20 "the question" dialog_open
    ask dialog | grep -qF 'C:\windows\notepad.exe' || fail "the question does not name the address: $(ask dialog)"
    xdotool key Return
    wait_for 20 "the question to close" no_dialog
    sleep 2
    notepad_open && fail "Notepad started after the default answer"

    step "answered Yes, Wine's Notepad opens"
    press 1
    wait_for 20 "the question again" dialog_open
    ask dialog-click 6 >/dev/null
    wait_for 30 "a Notepad window" notepad_open
}
