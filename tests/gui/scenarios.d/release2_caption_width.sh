# A caption's wrap width as a user meets it in the later release: the handle on a selected
# caption, its drag re-breaking the rows down to 10 pixels, one Undo and Redo, the width
# kept through saving and reopening, the rows kept (without a handle) in figmantle, and
# the handle of the frame while the caption is edited.

# Object I's text: wrap width|rows separated by "/"|layout text.
caption_of() { ask caption "$1"; }
caption_width_of() { caption_of "$1" | cut -d'|' -f1; }
caption_rows_of() { caption_of "$1" | cut -d'|' -f2; }
caption_row_count() { caption_rows_of "$1" | awk -F/ '{ print NF }'; }
bounds_of() { ask bounds "$1"; }
# The screen point of a sketch point offset from a corner of object I's bounds.
corner_point() {  # I left|right top|bottom DX DY
    local l t r b x y
    read -r l t r b <<<"$(bounds_of "$1")"
    case $2 in left) x=$l ;; *) x=$r ;; esac
    case $3 in top) y=$t ;; *) y=$b ;; esac
    screen_point $((x + $4)) $((y + $5))
}

# The one-letter words never grow the width past what the handle sets.
caption_words="a b c d e f g h i j k l n o p q r s t u v x y z"

scenario_release2_caption_width() {
    local saved="$work/wrapped.yrn"
    program=figlate
    start_program
    wait_for 30 "the first document" has_docs 1

    step "figlate: a long caption selected shows its handle"
    make_caption 60 80 "$caption_words"
    local cap
    cap=$(caption_index)
    [ -n "$cap" ] || fail "no caption: $(ask objects)"
    local original
    original=$(caption_of "$cap")
    [ "$(caption_width_of "$cap")" = 0 ] || fail "a new caption is wrapped: $original"
    [ "$(caption_row_count "$cap")" = 1 ] || fail "a new caption has several rows: $original"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    ask select "$cap" >/dev/null
    wait_for 10 "the caption selected" eval '[ "$(ask selection)" = "$cap " ]'
    # shellcheck disable=SC2046
    wait_for 10 "the handle drawn in the text's colour" dark_at $(corner_point "$cap" right bottom -3 -3)
    # Beside the handle, inside the box: the selection's light fill.
    # shellcheck disable=SC2046
    is_dark "$(pixel $(corner_point "$cap" right bottom -9 -2))" && fail "the handle is wider than 5 pixels"
    shot handle

    step "dragging the handle re-breaks the rows and stops at 10 pixels"
    local x y
    # shellcheck disable=SC2046
    read -r x y <<<"$(corner_point "$cap" right bottom -2 -2)"
    xdotool mousemove "$x" "$y" mousedown 1
    for dx in 20 40 60 80 100; do
        xdotool mousemove $((x - dx)) "$y"
        sleep 0.1
    done
    wait_for 10 "the rows broken to the width" eval '[ "$(caption_row_count "$cap")" -gt 1 ]'
    local mid
    mid=$(caption_width_of "$cap")
    [ "$mid" -gt 10 ] || fail "the width went to $mid at a hundred pixels in"
    # shellcheck disable=SC2046
    read -r left _ <<<"$(corner_point "$cap" left top 0 0)"
    xdotool mousemove $((left - 40)) "$y"
    sleep 0.1
    xdotool mousemove $((left - 50)) "$y"
    wait_for 10 "the width at its least" eval '[ "$(caption_width_of "$cap")" = 10 ]'
    local narrow
    narrow=$(caption_row_count "$cap")
    [ "$narrow" -ge 20 ] || fail "at 10 pixels only $narrow rows: $(caption_of "$cap")"
    shot narrow
    xdotool mousemove $((x - 100)) "$y"
    sleep 0.2
    xdotool mouseup 1
    wait_for 10 "the width fitted on release" eval '[ "$(caption_width_of "$cap")" -le "$mid" ]'
    local dragged
    dragged=$(caption_of "$cap")
    echo "$dragged" | grep -q '<F1' || fail "no wrap element in the dragged caption: $dragged"

    step "one Undo gives the caption back, Redo the dragged one"
    ask undo | grep -q 'Edit Caption' || fail "the undo item reads: $(ask undo)"
    ask command "$(menu_id 23)" >/dev/null
    wait_for 10 "the caption as it was" eval '[ "$(caption_of "$cap")" = "$original" ]'
    ask command "$(menu_id 24)" >/dev/null
    wait_for 10 "the dragged caption back" eval '[ "$(caption_of "$cap")" = "$dragged" ]'

    step "saved and reopened in figlate: the same width and rows"
    ask command 57604 >/dev/null
    answer_file_dialog "$(windows_path "$saved")"
    wait_for 30 "the file on disk" test -s "$saved"
    ask command 36868 >/dev/null
    wait_for 30 "the document closed" has_docs 0
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$saved")"
    wait_for 30 "the document reopened" has_docs 1
    cap=$(caption_index)
    [ "$(caption_of "$cap")" = "$dragged" ] || fail "reopened as $(caption_of "$cap"), saved as $dragged"

    step "the handle of the frame of the caption being edited re-breaks it while it is dragged"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32779) click 1
    # shellcheck disable=SC2046
    xdotool mousemove $(corner_point "$cap" left top 6 6) click --repeat 2 --delay 80 1
    wait_for 10 "caption editing" eval '[ "$(ask editing)" = 1 ]'
    local fl ft fr fb
    read -r fl ft fr fb <<<"$(ask edit-frame)"
    read -r x y <<<"$(screen_point $((fr - 2)) $((fb - 2)))"
    # shellcheck disable=SC2046
    dark_at "$x" "$y" || fail "no handle at the frame's corner"
    local rows_before
    rows_before=$(ask edited-text)
    xdotool mousemove "$x" "$y" mousedown 1
    for dx in 10 20 30 40 50 60 70; do
        xdotool mousemove $((x + dx)) "$y"
        sleep 0.1
    done
    sleep 0.3
    # While the button is held the frame has followed the wider rows: fewer of them, so
    # the old corner is outside the frame now and drawn over with the sketch.
    shot live
    dark_at "$x" "$y" && fail "the frame did not follow the handle while it was held"
    xdotool mouseup 1
    wait_for 10 "the edited text re-broken" eval '[ "$(ask edited-text)" != "$rows_before" ]'
    # shellcheck disable=SC2046
    xdotool mousemove $(screen_point 420 260) click 1
    wait_for 10 "editing to end" eval '[ "$(ask editing)" = 0 ]'
    end_program
    program_pid=

    step "figmantle reads the same rows, unwrapped, and shows no handle"
    program=figmantle
    start_program
    wait_for 30 "the first document" has_docs 1
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$saved")"
    wait_for 30 "the document opened" eval '[ -n "$(caption_index)" ]'
    cap=$(caption_index)
    local rows
    rows=$(echo "$dragged" | cut -d'|' -f2)
    [ "$(caption_rows_of "$cap")" = "$rows" ] || fail "figmantle's rows: $(caption_of "$cap"), figlate's: $rows"
    [ "$(caption_width_of "$cap")" = 0 ] || fail "figmantle wraps the caption: $(caption_of "$cap")"
    # shellcheck disable=SC2046
    xdotool mousemove $(ask toolbutton 32782) click 1
    ask select "$cap" >/dev/null
    wait_for 10 "the caption selected" eval '[ "$(ask selection)" = "$cap " ]'
    sleep 0.5
    # shellcheck disable=SC2046
    is_dark "$(pixel $(corner_point "$cap" right bottom -3 -3))" && fail "figmantle draws a handle"
    shot figmantle
}
