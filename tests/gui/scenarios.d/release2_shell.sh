# Scenarios of the later release's save types and help: pictures and web pages saved
# through the Save As dialog, help topics opened in the compiled help viewer (a recorder
# stands in for it), the help folder found through a shortcut or asked for. Sourced by
# tests/gui/scenarios; the helpers are program.sh's and options_models.sh's.

# The text of the save dialog's file-name box.
file_box_text() { ask dialog | awk -F'|' '$1 == 1148 || $1 == 1152 { print $3; exit }'; }

# "W H l t r b" of a picture file played at its size.
played() { timeout 20 wine "$build/figclip.exe" play-file "$(windows_path "$1")" 2>/dev/null | tr -d '\r'; }

scenario_release2_save_types() {
    program=figlate
    start_program -pref "$(windows_path "$work/pref")"
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 100 100 260 180)" = ok ] || fail "the segment could not be made"

    step "picture scale 2 in the advanced Preferences (Shift held)"
    ask dialog-edit 5 ok "picture-scale 1 / apply both" >/dev/null
    focus_view
    xdotool keydown shift
    sleep 1
    options_run 74 "the Preferences sheet"
    xdotool keyup shift

    step "Save As a Windows metafile: its header, and the segment twice its size played back"
    ask command 57604 >/dev/null
    answer_file_dialog "$(windows_path "$work/kite.wmf")"
    wait_for 30 "the picture file" test -s "$work/kite.wmf"
    [ "$(head -c 4 "$work/kite.wmf" | od -An -tx1 | tr -d ' ')" = d7cdc69a ] || fail "no placeable header"
    local w h l t r b
    read -r w h l t r b <<<"$(played "$work/kite.wmf")"
    [ -n "$b" ] || fail "the picture drew nothing"
    # 160 by 80 pixels on the screen; the picture at scale 2: 320 by 160, give or take the pen.
    [ $((r - l)) -ge 316 ] && [ $((r - l)) -le 336 ] && [ $((b - t)) -ge 156 ] && [ $((b - t)) -le 176 ] ||
        fail "the segment plays as $l $t $r $b in $w x $h"
    case "$(ask docs | cut -d'|' -f2)" in
    *kite.wmf) fail "the document took the picture's name" ;;
    esac

    step "Save As an enhanced metafile: the segment twice its size"
    ask command 57604 >/dev/null
    answer_file_dialog "$(windows_path "$work/kite.emf")"
    wait_for 30 "the picture file" test -s "$work/kite.emf"
    read -r w h l t r b <<<"$(played "$work/kite.emf")"
    [ -n "$b" ] || fail "the enhanced picture drew nothing"
    [ $((r - l)) -ge 316 ] && [ $((r - l)) -le 336 ] && [ $((b - t)) -ge 156 ] && [ $((b - t)) -le 176 ] ||
        fail "the enhanced segment plays as $l $t $r $b in $w x $h"

    step "Save As HTML: the dialog proposes the web page beside the program; the page is written"
    ask command 33902 >/dev/null
    wait_for 30 "the file dialog" dialog_open
    local proposed
    proposed=$(file_box_text)
    case "$proposed" in
    *.htm) ;;
    *) fail "the dialog proposes \"$proposed\"" ;;
    esac
    local folder
    folder=$(ask dialog | awk -F'|' '$1 == 1137 { print $3; exit }')
    [ "$folder" = "$(basename "$build")" ] || fail "the dialog starts in \"$folder\", not the program's folder"
    ask dialog | grep -q '^1136|ComboBox|HTML' || fail "the dialog's type is not the web page: $(ask dialog | grep '^1136')"
    [ "$(ask dialog-set 1148 "$(windows_path "$work/kite.htm")")" = ok ] ||
        ask dialog-set 1152 "$(windows_path "$work/kite.htm")" >/dev/null
    ask dialog-click 1 >/dev/null
    wait_for 30 "the web page" test -s "$work/kite.htm"
    grep -qi "<applet\|<html" "$work/kite.htm" || fail "the page holds no page"
    # Without the applet's archive beside it, the program says so.
    dismiss_alert
    # The save type before the command comes back: the last picture's.
    [ "$(ask docs | awk -F'|' '{ print $6 }')" = 3 ] || fail "the save type is not the one before: $(ask docs)"
}
