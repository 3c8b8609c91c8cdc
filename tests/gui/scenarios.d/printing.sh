# Scenarios of printing, with a private print server on the other side: two queues that
# throw their output away but leave each job's PostScript in the spool folder, where
# Ghostscript turns it into pictures to check. Sourced by tests/gui/scenarios; the menu
# helpers are first_use.sh's and program.sh's.

print_server_pid=

# Starts the server with queues FigA (the default) and FigB; CUPS_SERVER then leads the
# program's printing to it.
start_print_server() {
    for tool in /usr/sbin/cupsd lpadmin gs; do
        command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup installs it)"
    done
    cups="$work/cups"
    mkdir -p "$cups"/spool "$cups"/cache "$cups"/log "$cups"/state
    chown lp:lp "$cups"/spool "$cups"/cache "$cups"/log "$cups"/state 2>/dev/null || true
    chmod 777 "$cups" "$cups"/spool "$cups"/cache "$cups"/log "$cups"/state
    cat >"$cups/cupsd.conf" <<EOF
Listen $cups/cups.sock
LogLevel warn
PreserveJobFiles Yes
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    cat >"$cups/cups-files.conf" <<EOF
User lp
Group lp
ServerRoot $cups
RequestRoot $cups/spool
CacheDir $cups/cache
StateDir $cups/state
TempDir $cups/spool
ErrorLog $cups/log/error_log
AccessLog $cups/log/access_log
PageLog $cups/log/page_log
Printcap $cups/printcap
FileDevice Yes
EOF
    /usr/sbin/cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf" >/dev/null 2>&1 &
    print_server_pid=$!
    trap 'end_program; stop_print_server' EXIT
    export CUPS_SERVER="$cups/cups.sock"
    server_up() { [ -S "$CUPS_SERVER" ] && lpstat -h "$CUPS_SERVER" -r 2>/dev/null | grep -q "is running"; }
    wait_for 20 "the print server" server_up
    local q
    for q in FigA FigB; do
        lpadmin -h "$CUPS_SERVER" -p "$q" -E -v file:/dev/null -m raw >/dev/null 2>&1 ||
            fail "queue $q could not be made"
    done
    lpadmin -h "$CUPS_SERVER" -d FigA >/dev/null 2>&1 || fail "FigA could not be the default"
}

stop_print_server() {
    [ -n "$print_server_pid" ] || return 0
    kill "$print_server_pid" 2>/dev/null || true
    wait "$print_server_pid" 2>/dev/null || true
    print_server_pid=
}

# The number of jobs a queue has taken so far.
jobs_of() { lpstat -h "$CUPS_SERVER" -W all -o "$1" 2>/dev/null | grep -c . || true; }
queue_has_jobs() { [ "$(jobs_of "$1")" -ge "$2" ]; }
# The data file of a queue's last job.
last_job_file() {
    local id
    id=$(lpstat -h "$CUPS_SERVER" -W all -o "$1" 2>/dev/null | awk '{ print $1 }' | sed 's/.*-//' | sort -n | tail -n1)
    [ -n "$id" ] || return 1
    printf '%s/spool/d%05d-001\n' "$cups" "$id"
}
job_file_ready() { local f; f=$(last_job_file "$1") && [ -s "$f" ]; }

# Renders PostScript at 96 dots per inch, one screen pixel a point of 1/96 inch: a sketch
# printed at 100% then shows at its screen size. Prints the number of pages.
render_pages() {
    rm -f "$work/$2"-*.png
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r96 -sOutputFile="$work/$2-%d.png" "$1" >/dev/null 2>&1 ||
        fail "Ghostscript could not read $1"
    ls "$work/$2"-*.png 2>/dev/null | grep -c . || true
}
png_pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
# The bounding box of the pixels of a page that are near the colour R,G,B: "x y w h".
colour_box() {
    convert "$1" -fuzz 12% -fill white +opaque "rgb($2)" -fill black -opaque "rgb($2)" \
        -format '%@' info: 2>/dev/null | sed 's/[x+]/ /g'
}

# Whether two "r,g,b" colours are within 3 of each other in every channel (PostScript
# rounds colours on the way).
near() {
    local r1 g1 b1 r2 g2 b2
    IFS=, read -r r1 g1 b1 <<<"$1"
    IFS=, read -r r2 g2 b2 <<<"$2"
    [ $(((r1 - r2) ** 2 <= 9 && (g1 - g2) ** 2 <= 9 && (b1 - b2) ** 2 <= 9)) = 1 ]
}

print_dialog_open() { ask dialog | head -n1 | grep -q '^Print'; }
status_dialog_open() { ask dialog | grep -q '|Page [0-9]'; }

scenario_printing_file() {
    start_print_server
    start_program
    wait_for 30 "the first document" has_docs 1

    step "an empty sketch: alert 410"
    click_menu_item 0 96
    nothing_alert() { ask dialog | grep -q 'no printable objects'; }
    wait_for 20 "the printing problem alert" nothing_alert
    dismiss_alert

    step "a circle on a coloured background"
    local tool_is_it
    tool_is_it() { [ "$(ask tool)" = "$1" ]; }
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32775) click 1
    wait_for 10 "the compass tool" tool_is_it 5
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 200 200) mousedown 1 sleep 0.2 mousemove $(screen_point 230 200) sleep 0.1 \
            mousemove $(screen_point 260 200) sleep 0.2 mouseup 1
    wait_for 20 "a circle" object_count_is -eq 3
    [ "$(ask background 200 230 255)" = ok ] || fail "the background could not be set"
    step "the circle's radius point traced and dragged 60 down: a trace, radius 85"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    wait_for 10 "the arrow tool" tool_is_it 1
    ask select 1 >/dev/null
    ask command "$(menu_id 27)" >/dev/null
    ask select >/dev/null
    drag_to 260 200 260
    radius_point_moved() { ask objects | sed -n 2p | awk '{ exit !($7 > 259.5 && $7 < 260.5) }'; }
    wait_for 20 "the radius point at y 260" radius_point_moved
    shot traced

    step "File > Print: the system's dialog, to a file"
    click_menu_item 0 96
    wait_for 30 "the print dialog" print_dialog_open
    local box
    box=$(ask dialog | awk -F'|' '$1 == 1040 { print $4 }')
    [ -n "$box" ] || fail "no Print to file box: $(ask dialog)"
    # shellcheck disable=SC2046
    xdotool mousemove $(echo "$box" | centre) click 1
    to_file_ticked() { ask dialog | awk -F'|' '$1 == 1040 { exit !($7 == 1) }'; }
    wait_for 10 "Print to file ticked" to_file_ticked
    shot print-dialog
    ask dialog-click 1 >/dev/null
    local out="$work/page.ps"
    rm -f "$out"
    answer_file_dialog "$(windows_path "$out")"
    printed() { [ -s "$out" ] && grep -q '%%EOF' "$out"; }
    wait_for 60 "the PostScript file" printed
    ask dialog >"$work/after.txt"
    local pages
    pages=$(render_pages "$out" file)
    [ "$pages" = 1 ] || fail "$pages pages in the file"
    check_printed_sketch "$work/file-1.png"

    step "at 5000% on FigA: the status window counts pages; its Cancel abandons the job"
    # A long segment makes it a job of many hundred pages, time enough for a click.
    [ "$(ask build-segment 0 0 900 600)" = ok ] || fail "the segment could not be made"
    [ "$(ask print-scale 5000)" = ok ] || fail "the print scale could not be set"
    ask command 57607 >/dev/null
    wait_for 30 "the print dialog" print_dialog_open
    ask dialog-click 1 >/dev/null
    status_with_cancel() { ask dialog >"$work/status.txt" && grep -q '|Page [0-9]' "$work/status.txt"; }
    wait_for 60 "the status window" status_with_cancel
    local cancel
    cancel=$(awk -F'|' '$1 == 2 { print $4 }' "$work/status.txt")
    [ -n "$cancel" ] || fail "no Cancel in the status window: $(ask dialog)"
    shot status
    # shellcheck disable=SC2046
    xdotool mousemove $(echo "$cancel" | centre) click 1
    status_gone() { ! status_dialog_open; }
    wait_for 30 "the status window to close" status_gone
    answers || fail "the program does not answer after Cancel"
    sleep 2
    [ "$(jobs_of FigA)" = 0 ] || fail "a cancelled job reached FigA: $(lpstat -h "$CUPS_SERVER" -W all -o FigA)"
}

# A page printed at 100% of the sketch above, rendered at 96 dpi: the background over the
# printable area, the circle at its screen size (diameter 170), the trace 60 right of the
# centre from the centre down.
check_printed_sketch() {
    local page=$1 box x y w h cx cy
    box=$(colour_box "$page" 0,128,0)
    read -r w h x y <<<"$box"
    [ -n "$w" ] && [ "$w" -gt 0 ] || fail "no circle on the page"
    [ "$w" -ge 166 ] && [ "$w" -le 174 ] && [ "$h" -ge 166 ] && [ "$h" -le 174 ] ||
        fail "the circle is $w x $h, not 170 across"
    cx=$((x + w / 2)) cy=$((y + h / 2))
    near "$(png_pixel "$page" 100 100)" 200,230,255 || fail "no background: $(png_pixel "$page" 100 100)"
    near "$(png_pixel "$page" 2 2)" 255,255,255 || fail "the unprintable edge is painted"
    local trace
    trace=$(png_pixel "$page" $((cx + 60)) $((cy + 30)))
    ! near "$trace" 200,230,255 && ! near "$trace" 255,255,255 || fail "no trace on the page: $trace"
    # Around the marks the window's traces leave the background as it is.
    near "$(png_pixel "$page" $((cx - 100)) $((cy - 60)))" 200,230,255 ||
        fail "the traces layer hides the background: $(png_pixel "$page" $((cx - 100)) $((cy - 60)))"
}

# A job that a queue printed: the PostScript of its last job shows the segment.
check_queue_page() {
    local queue=$1 name=$2 file
    wait_for 30 "the job's data in the spool" job_file_ready "$queue"
    file=$(last_job_file "$queue")
    [ "$(render_pages "$file" "$name")" = 1 ] || fail "the $queue job is not one page"
    local box
    box=$(colour_box "$work/$name-1.png" 0,0,0)
    [ -n "$box" ] && [ "${box%% *}" -gt 100 ] || fail "no segment on the $queue page: $box"
}

scenario_printing_shell() {
    start_print_server
    start_with_segment
    local a="$work/a.yrn" b="$work/b.yrn"
    step "the sketch saved as a.yrn, copied to b.yrn"
    focus_view
    xdotool key alt+f
    xdotool key a
    answer_file_dialog "$(windows_path "$a")"
    wait_for 30 "the file on disk" test -s "$a"
    cp "$a" "$b"

    step "the shell's print verb on the closed b.yrn: printed to FigA by DDE, closed again"
    timeout 60 wine "$build/figdriver.exe" -shell print "$(windows_path "$b")" >"$work/shell.txt" 2>&1 ||
        fail "the shell did not take the print verb"
    wait_for 60 "a job in FigA" queue_has_jobs FigA 1
    check_queue_page FigA shell-b
    wait_for 20 "b.yrn closed again" has_docs 1
    ask docs | grep -q '^a.yrn|' || fail "a.yrn is not the open document: $(ask docs)"

    step "the print verb on the open a.yrn: printed, left open"
    timeout 60 wine "$build/figdriver.exe" -shell print "$(windows_path "$a")" >/dev/null 2>&1 ||
        fail "the shell did not take the print verb"
    wait_for 60 "a second job in FigA" queue_has_jobs FigA 2
    has_docs 1 && ask docs | grep -q '^a.yrn|' || fail "a.yrn was closed: $(ask docs)"

    step "Page Setup chooses FigB: File > Print goes there"
    click_menu_item 0 94
    setup_open() { ask dialog | grep -q '^1136|ComboBox|'; }
    wait_for 30 "the print set-up dialog" setup_open
    [ "$(ask dialog-select 1136 1)" = ok ] || fail "FigB could not be chosen: $(ask dialog)"
    ask dialog-click 1 >/dev/null
    wait_for 20 "the set-up dialog closed" no_dialog
    ask command 57607 >/dev/null
    wait_for 30 "the print dialog" print_dialog_open
    ask dialog | grep -q '^1139|ComboBox|FigB|' || fail "the print dialog does not start on FigB: $(ask dialog)"
    ask dialog-click 1 >/dev/null
    wait_for 60 "a job in FigB" queue_has_jobs FigB 1
    check_queue_page FigB setup-b
    end_program

    step "/p b.yrn: printed to the default queue, the program ends"
    timeout 90 wine "$build/figmantle_test.exe" /p "$(windows_path "$b")" >/dev/null 2>&1 ||
        fail "the program printing b.yrn did not end well"
    queue_has_jobs FigA 3 || fail "no third job in FigA"
    check_queue_page FigA p-b

    step "/pt b.yrn FigB: printed to the named queue"
    # The port argument names no device, so Wine also writes the job to a file of that
    # name in the current folder: run it from the scenario's own.
    (cd "$work" && timeout 90 wine "$build/figmantle_test.exe" /pt "$(windows_path "$b")" FigB winspool FigB >/dev/null 2>&1) ||
        fail "the program printing b.yrn to FigB did not end well"
    queue_has_jobs FigB 2 || fail "no second job in FigB"
    check_queue_page FigB pt-b
}

preview_open() { [ "$(ask preview)" != none ]; }
preview_closed() { [ "$(ask preview)" = none ]; }
preview_has() { ask preview | grep -q -- "$1"; }
scale_text() { ask preview-control 1252 | cut -d'|' -f2; }
scale_is() { [ "$(scale_text)" = "$1" ]; }
# Types into the scale box as a user does: a click, the old text selected, the new keys.
type_scale() {
    local box
    box=$(ask preview-control 1252 | cut -d' ' -f1-4)
    # shellcheck disable=SC2046
    xdotool mousemove $(echo "$box" | centre) click 1 key End shift+Home
    if [ -n "$1" ]; then xdotool type --delay 60 "$1"; else xdotool key BackSpace; fi
}
click_bar() {
    local box
    box=$(ask preview-control "$1" | cut -d' ' -f1-4)
    [ "$box" != none ] || fail "no control $1 on the preview bar"
    # shellcheck disable=SC2046
    xdotool mousemove $(echo "$box" | centre) click 1
}
click_page() {
    # shellcheck disable=SC2046
    xdotool mousemove $(ask preview-page 0 | centre) click 1
}

scenario_printing_preview() {
    start_print_server
    start_with_segment

    step "File > Print Preview: one page with the segment, no scroll bar, idle work held"
    click_menu_item 0 95
    wait_for 30 "the preview" preview_open
    preview_has "zoom 0 page 1 shown 1 of 1 vbar none" || fail "not one page: $(ask preview)"
    preview_has "idle 1" || fail "idle work goes on: $(ask preview)"
    scale_is 100 || fail "the scale box shows $(scale_text)"
    shot preview
    local page x1 y1 x2 y2
    page=$(ask preview-page 0)
    read -r x1 y1 x2 y2 <<<"$page"
    local dark
    dark=$(convert "$work/preview.png" -crop "$((x2 - x1))x$((y2 - y1))+$x1+$y1" +repage -threshold 50% -negate \
        -format '%[fx:int(mean*w*h)]' info:)
    [ "$dark" -gt 20 ] || fail "the page shows no segment ($dark dark pixels)"

    step "the scale box: 0 becomes 100, 6000 becomes 5000"
    type_scale 0
    wait_for 10 "100 in the box" scale_is 100
    preview_has "percent 100.00" || fail "the scale is not 100: $(ask preview)"
    type_scale 6000
    wait_for 10 "5000 in the box" scale_is 5000
    preview_has "percent 5000.00" || fail "the scale is not 5000: $(ask preview)"

    step "1100%: three pages, two shown, the vertical bar over pages 1 and 2"
    type_scale 1100
    wait_for 10 "1100 in the box" scale_is 1100
    wait_for 10 "three pages" preview_has "shown 2 of 3 vbar 1 2"
    step "Next Page shows pages 2-3, then it is disabled; Prev Page goes back"
    click_bar 58114
    wait_for 10 "pages 2 and 3" preview_has "page 2 shown 2 of 3"
    next_disabled() { ask preview-control 58114 | grep -q ' 0 [0-9]|'; }
    wait_for 10 "Next Page disabled" next_disabled
    click_bar 58115
    wait_for 10 "pages 1 and 2" preview_has "page 1 shown 2 of 3"

    step "Fit To Page: one page"
    click_bar 58119
    wait_for 10 "one page" preview_has "shown 1 of 1 vbar none"
    preview_has "fit 1" || fail "not fitted: $(ask preview)"

    step "three clicks on the page zoom in twice and back"
    local z
    for z in 1 2 0; do
        click_page
        wait_for 10 "zoom $z" preview_has "zoom $z "
    done

    step "Zoom In twice, Zoom Out twice"
    for z in 1 2; do
        click_bar 58117
        wait_for 10 "zoom $z" preview_has "zoom $z "
    done
    for z in 1 0; do
        click_bar 58118
        wait_for 10 "zoom $z" preview_has "zoom $z "
    done

    step "Print Large Plots: disabled without a large locus"
    ask preview-control 1261 | grep -q ' 0 [0-9]|' || fail "Print Large Plots is enabled: $(ask preview-control 1261)"

    step "50%, Close; opened again it shows 50; its Print closes it and prints at 50%"
    type_scale 50
    wait_for 10 "50%" preview_has "percent 50.00"
    click_bar 58112
    wait_for 10 "the preview closed" preview_closed
    ask command 57609 >/dev/null
    wait_for 30 "the preview again" preview_open
    scale_is 50 || fail "the page lost its percent: $(scale_text)"
    click_bar 58116
    wait_for 10 "the preview closed by Print" preview_closed
    wait_for 30 "the print dialog" print_dialog_open
    ask dialog-click 1 >/dev/null
    wait_for 60 "a job in FigA" queue_has_jobs FigA 1
    wait_for 30 "the job's data in the spool" job_file_ready FigA
    [ "$(render_pages "$(last_job_file FigA)" half)" = 1 ] || fail "the job is not one page"
    local box w
    box=$(colour_box "$work/half-1.png" 0,0,0)
    w=${box%% *}
    [ "$w" -ge 76 ] && [ "$w" -le 86 ] || fail "the segment is $w wide, not 80 (50% of 160)"

    step "a locus 1500 wide: Print Large Plots enabled; ticked, the page grows to the whole locus"
    [ "$(ask build-segment -1500 300 1500 310)" = ok ] || fail "the long segment could not be made"
    ask select 5 >/dev/null
    ask command "$(menu_id 0)" >/dev/null
    wait_for 20 "P on the long segment" object_count_is -eq 7
    ask select 6 0 >/dev/null
    ask command "$(menu_id 3)" >/dev/null
    wait_for 20 "the segment from P" object_count_is -eq 8
    ask select 7 >/dev/null
    ask command "$(menu_id 1)" >/dev/null
    wait_for 20 "its midpoint M" object_count_is -eq 9
    ask select 8 6 >/dev/null
    ask command "$(menu_id 19)" >/dev/null
    wait_for 20 "the locus of M" object_count_is -eq 10
    ask objects | sed -n 10p | grep -q '^6 ' || fail "no locus: $(ask objects)"
    # Only the locus is large: what made it is hidden.
    ask select 3 4 5 6 7 >/dev/null
    ask command "$(menu_id 20)" >/dev/null
    wait_for 20 "five objects hidden" hidden_count_is 5
    ask select >/dev/null
    ask command 57609 >/dev/null
    wait_for 30 "the preview" preview_open
    large_enabled() { ask preview-control 1261 | grep -q ' 1 0|'; }
    wait_for 10 "Print Large Plots enabled, not ticked" large_enabled
    local cut
    cut=$(ask preview | sed 's/.* of \([0-9]*\) .*/\1/')
    click_bar 1261
    wait_for 10 "large plots printed whole" preview_has "clip 0"
    local whole
    whole=$(ask preview | sed 's/.* of \([0-9]*\) .*/\1/')
    [ "$whole" -gt "$cut" ] || fail "the whole locus takes $whole pages, the cut one $cut"
    click_bar 1261
    wait_for 10 "large plots cut again" preview_has "clip 1"
    click_bar 58112
    wait_for 10 "the preview closed" preview_closed
    end_program

    step "no printer: Print Preview says the command failed"
    stop_print_server
    export CUPS_SERVER="$work/no-such-server.sock"
    start_with_segment
    ask command 57609 >/dev/null
    failed_alert() { ask dialog | grep -q 'Command failed.'; }
    wait_for 30 "Command failed." failed_alert
    dismiss_alert
    preview_closed || fail "a preview opened without a printer"
}
