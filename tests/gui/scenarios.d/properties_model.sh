# The Properties model as a user meets it, with the test build's dialog script standing
# in for the sheet: Edit > Properties... on a point (selected alone while the sheet is up,
# Hidden with one undo step, Cancel changing nothing, a label shown), the text tool's
# double clicks, and Help Topics and F1 without a help folder.

pm_runs() { ask dialog-runs | grep -c . || true; }
pm_has_runs() { [ "$(pm_runs)" -ge "$1" ]; }
pm_last_run() { ask dialog-runs | tail -n1; }
pm_hidden() { ask objects | sed -n "$(($1 + 1))p" | cut -d' ' -f5; }
pm_hidden_is() { [ "$(pm_hidden "$1")" = "$2" ]; }

# Edit > Properties... with the answer given; waits for the sheet's run.
pm_properties() {
    local runs
    runs=$(pm_runs)
    ask dialog-answer 4 "$@" >/dev/null
    ask command "$(menu_id 75)" >/dev/null
    wait_for 20 "the Properties sheet" pm_has_runs $((runs + 1))
}

# Dark pixels in the 60 x 60 box around a screen point, and whether there are more than n.
pm_ink_at() { pm_ink $(($1 - 30)) $(($2 - 30)) 60 60; }
pm_more_ink() { [ "$(pm_ink_at "$1" "$2")" -gt "$3" ]; }
# Pixels that are not white in a box of the screen.
pm_ink() {
    import -window root "$work/ink.png"
    convert "$work/ink.png" -crop "$3x$4+$1+$2" +repage -threshold 90% -negate -format "%[fx:int(mean*w*h+0.5)]" info:
}

# Makes the prefix's opener of pages (and of file addresses) write the address it is
# given into C:\help-record.txt; restore_page_opener puts Wine's back.
record_page_opener() {
    wine reg add 'HKCR\.htm' /ve /d htmlfile /f >/dev/null 2>&1 || skip "no page association can be set"
    for key in 'HKCR\htmlfile\shell\open\command' 'HKCR\file\shell\open\command'; do
        wine reg add "$key" /ve /d 'C:\windows\system32\cmd.exe /c echo %1> C:\help-record.txt' /f \
            >/dev/null 2>&1 || skip "the page opener cannot be set"
    done
}
# A help folder beside the program holding the page $1, with the page opener recording
# into $help_record; the exit trap runs $2 first, then takes both away again. Globals:
# the trap runs after the scenario's function has returned.
help_folder_recorded() {
    help_dir="$build/Velmora Help"
    help_record="$WINEPREFIX/drive_c/help-record.txt"
    rm -f "$help_record"
    trap "${2:-}"' rm -rf "$help_dir"; restore_page_opener; end_program' EXIT
    mkdir -p "$help_dir" && echo "<html></html>" >"$help_dir/$1"
    record_page_opener
}
restore_page_opener() {
    wine reg add 'HKCR\htmlfile\shell\open\command' /ve /d '"C:\windows\system32\winebrowser.exe" "%1"' /f \
        >/dev/null 2>&1 || true
    wine reg delete 'HKCR\.htm' /f >/dev/null 2>&1 || true
    wine reg delete 'HKCR\file' /f >/dev/null 2>&1 || true
}

scenario_properties_model() {
    own_program_folder
    start_with_segment
    local a=0 before x y
    [ -n "$(menu_id 75)" ] || fail "no Properties on the menus"

    step "Edit > Properties... on A: A alone selected while the sheet runs; Cancel changes nothing"
    ask select $a >/dev/null
    before=$(ask undo)
    pm_properties cancel 0.2=1
    [ "$(pm_last_run)" = "4|cancel|0 0 0 alone" ] || fail "the sheet opened otherwise: $(pm_last_run)"
    pm_hidden_is $a 0 || fail "Cancel hid A: $(ask objects)"
    [ "$(ask undo)" = "$before" ] || fail "Cancel changed the Undo item: $(ask undo), was $before"

    step "Hidden checked and OK hides A; one Undo shows it again"
    pm_properties ok 0.2=1
    wait_for 10 "A hidden" pm_hidden_is $a 1
    [ "$(ask undo)" != "$before" ] || fail "hiding A made no undo step"
    ask command "$(menu_id 23)" >/dev/null
    wait_for 10 "A shown by Undo" pm_hidden_is $a 0
    [ "$(ask undo)" = "$before" ] || fail "one Undo did not take the step away: $(ask undo)"

    step "\"P\" with Show Label set shows P beside A"
    read -r x y <<<"$(screen_point 100 100)"
    before=$(pm_ink_at "$x" "$y")
    pm_properties ok 1.0=P 1.1=1
    wait_for 10 "a label beside A" pm_more_ink "$x" "$y" $((before + 5))

    step "text tool: a double click on B shows its label and opens the Label page"
    ask dialog-answer 4 cancel >/dev/null
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32779) click 1
    wait_for 10 "the text tool" tool_now 10
    local runs
    runs=$(pm_runs)
    read -r x y <<<"$(screen_point 260 180)"
    before=$(pm_ink_at "$x" "$y")
    xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
    wait_for 20 "the Properties sheet from the double click" pm_has_runs $((runs + 1))
    [ "$(pm_last_run)" = "4|cancel|1 1 0 alone" ] || fail "not B's Label page: $(pm_last_run)"
    wait_for 10 "B's label" pm_more_ink "$x" "$y" $((before + 5))

    step "text tool: a double click on a measurement opens its Properties on the Object page"
    ask select 2 >/dev/null
    ask command "$(menu_id 32)" >/dev/null
    wait_for 20 "the length" object_count_is -eq 4
    local l t r b
    read -r l t r b <<<"$(ask bounds 3)"
    read -r x y <<<"$(screen_point $(((l + r) / 2)) $(((t + b) / 2)))"
    runs=$(pm_runs)
    ask dialog-answer 4 cancel >/dev/null
    xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
    wait_for 20 "the measurement's Properties" pm_has_runs $((runs + 1))
    [ "$(pm_last_run)" = "4|cancel|3 0 0 alone" ] || fail "not the measurement's Object page: $(pm_last_run)"

    step "Help > Help Topics and F1 without a help folder: the folder browser, Cancel, \"Help Not Found\""
    local alerts
    alerts=$(alert_count)
    ask command $((0xE143)) >/dev/null
    cancel_folder_browser
    wait_for 20 "the help alert" has_alerts $((alerts + 1))
    ask alerts | tail -n1 | grep -q "Help Not Found" || fail "not the help alert: $(ask alerts | tail -n1)"
    dismiss_alert
    xdotool key F1
    cancel_folder_browser
    wait_for 20 "the help alert from F1" has_alerts $((alerts + 2))
    ask alerts | tail -n1 | grep -q "Help Not Found" || fail "F1 showed another alert: $(ask alerts | tail -n1)"
    dismiss_alert

    step "with a help folder beside the program, Help Topics opens its hHome.htm"
    # The prefix's opener of pages records the address it is given while this step runs.
    help_folder_recorded hHome.htm
    local record=$help_record
    alerts=$(alert_count)
    ask command $((0xE143)) >/dev/null
    wait_for 30 "the recorded address" test -s "$record"
    grep -q "hHome.htm" "$record" || fail "the opener got: $(cat "$record")"
    [ "$(alert_count)" = "$alerts" ] || fail "an alert as well: $(ask alerts | tail -n1)"
}
