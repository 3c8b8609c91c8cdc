# Scenarios of the later release's save types and help: pictures and web pages saved
# through the Save As dialog, help topics opened in the compiled help viewer (a recorder
# stands in for it), the help folder found through a shortcut or asked for. Sourced by
# tests/gui/scenarios; the helpers are program.sh's, options_models.sh's, clipboard.sh's
# and properties_model.sh's.

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

    step "File > Save As... and File > Save from the menu: the document, then saved in place"
    click_menu_item 0 18
    answer_file_dialog "$(windows_path "$work/kite.yrn")"
    wait_for 30 "the document file" test -s "$work/kite.yrn"
    local before
    before=$(file_sum "$work/kite.yrn")
    [ "$(ask build-segment 20 20 60 30)" = ok ] || fail "the second segment could not be made"
    click_menu_item 0 17
    changed() { [ "$(file_sum "$work/kite.yrn")" != "$before" ]; }
    wait_for 30 "the document saved in place" changed
    no_dialog || fail "Save asked for a name: $(ask dialog | head -n1)"

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
    # The save type before the command comes back: the document's own.
    [ "$(ask docs | awk -F'|' '{ print $6 }')" = 0 ] || fail "the save type is not the one before: $(ask docs)"
}

# The shell's folder browser asking for the help folder is the front dialog.
folder_browser_open() { ask dialog | grep -q '|Please locate the folder named Velmora Help.|'; }
# Waits for the folder browser and cancels it.
cancel_folder_browser() {
    wait_for 20 "the folder browser" folder_browser_open
    ask dialog-click 2 >/dev/null
    browser_gone() { ! folder_browser_open; }
    wait_for 20 "the folder browser to close" browser_gone
}

# Opens the Help menu with the mouse and clicks its item of that text.
click_help_item() {
    local index
    index=$(ask menus | awk -F'|' '$1 == 0 { n++ } $1 == 0 && $2 == "&Help" { print n - 1 }')
    [ -n "$index" ] || fail "no Help menu: $(ask menus | tr '\n' ' ')"
    open_menu_by_click "$index"
    local rect
    rect=$(ask menu-item-rect "$1")
    [ -n "$rect" ] && [ "$rect" != none ] || fail "no Help item $1: $(ask popup-menu | tr '\n' ' ')"
    # shellcheck disable=SC2046
    xdotool mousemove $(centre <<<"$rect") click 1
    wait_for 10 "the menu to close" no_popup
}

scenario_release2_help() {
    own_program_folder
    program=figlate
    local hh_log="$work/hh.txt" help="$work/help files"
    mkdir -p "$help"
    export FIG_HH_LOG
    FIG_HH_LOG=$(windows_path "$hh_log")
    local overrides=$WINEDLLOVERRIDES
    export WINEDLLOVERRIDES="$overrides;hh.exe=n"
    # The help folder beside the program is a shortcut to a folder elsewhere.
    rm_help_link() { rm -f "$build/Velmora Help.lnk"; }
    trap 'rm_help_link; end_program' EXIT
    [ ! -e "$build/Velmora Help" ] || fail "a help folder lies beside the program already"
    [ "$(clip make-shortcut "$(windows_path "$build")\\Velmora Help.lnk" "$(windows_path "$help")")" = ok ] ||
        fail "the shortcut could not be made"
    start_program
    wait_for 30 "the first document" has_docs 1

    step "Help > Contents: the viewer gets an ms-its: address into the help file of the shortcut's folder"
    click_help_item "&Contents"
    wait_for 30 "the viewer's address" test -s "$hh_log"
    local address expected
    address=$(tr -d '\r' <"$hh_log")
    expected="ms-its:$(windows_path "$help")\\Velmora.chm::/hContents.htm"
    [ "$address" = "$expected" ] || fail "the viewer got \"$address\", not \"$expected\""
    end_program

    step "no help folder: the folder browser asks, Cancel: help is not found, nothing opens"
    rm_help_link
    : >"$hh_log"
    start_program
    wait_for 30 "the first document" has_docs 1
    local alerts
    alerts=$(alert_count)
    click_help_item "&Contents"
    cancel_folder_browser
    wait_for 20 "the help alert" has_alerts $((alerts + 1))
    dismiss_alert
    [ ! -s "$hh_log" ] || fail "the viewer ran: $(cat "$hh_log")"
    end_program

    step "the test's compiled help in the folder: Wine's viewer shows its window"
    export WINEDLLOVERRIDES=$overrides
    command -v chmcmd >/dev/null || skip "chmcmd (fp-utils) is not installed"
    printf '<html><head><title>Contents</title></head><body>Contents</body></html>\n' >"$help/hContents.htm"
    printf '[OPTIONS]\nCompiled file=Velmora.chm\nDefault topic=hContents.htm\nTitle=Velmora Test Help\n\n[FILES]\nhContents.htm\n' \
        >"$help/Velmora.hhp"
    (cd "$help" && chmcmd Velmora.hhp >/dev/null 2>&1) || true
    [ -s "$help/Velmora.chm" ] || fail "chmcmd made no help file"
    [ "$(clip make-shortcut "$(windows_path "$build")\\Velmora Help.lnk" "$(windows_path "$help")")" = ok ] ||
        fail "the shortcut could not be made"
    start_program
    wait_for 30 "the first document" has_docs 1
    click_help_item "&Contents"
    viewer_shown() { xdotool search --name "Velmora Test Help" >/dev/null 2>&1; }
    wait_for 30 "the help viewer's window" viewer_shown
    end_program

    # Wine's shell turns the file:/// address into its path before the page opener sees
    # it; the compiled help viewer's recorder is in place again, and must not run.
    step "figmantle, a help folder beside it: Help > Contents opens the page, not the compiled help"
    export WINEDLLOVERRIDES="$overrides;hh.exe=n"
    program=figmantle
    rm_help_link
    help_folder_recorded hContents.htm "rm_help_link;"
    local record=$help_record
    : >"$hh_log"
    start_program
    wait_for 30 "the first document" has_docs 1
    click_help_item "&Contents"
    wait_for 30 "the recorded address" test -s "$record"
    [ "$(tr -d '\r' <"$record" | sed 's/ *$//')" = "$(windows_path "$help_dir")\hContents.htm" ] ||
        fail "the opener got: $(cat "$record")"
    [ ! -s "$hh_log" ] || fail "figmantle ran the compiled help viewer: $(cat "$hh_log")"
}

# The default value of a key of HKEY_CLASSES_ROOT, or nothing.
class_value() { wine reg query "HKCR\\$1" /ve 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ { print $NF }'; }
doc_open() { ask docs | cut -d'|' -f2 | grep -qiF "$1"; }
gone() { ! answers; }

# Documents opened from the shell: by `wine start` and by a DDE client's open command in
# a running program, and by `wine start` with none running (the program starts with
# /dde). figmantle and figlate register the same document type in the one prefix; each
# round clears its keys first, so the program started registers them anew.
scenario_release2_shell_open() {
    local p n last_app=
    for p in figmantle figlate; do
        for n in start dde cold; do cp "$top/fuzz/seeds/document_read_fuzz/one_page" "$work/$p-$n.yrn"; done
    done
    for p in figmantle figlate; do
        program=$p
        wine reg delete 'HKCR\Velmora.Document' /f >/dev/null 2>&1 || true
        wine reg delete 'HKCR\.yrn' /f >/dev/null 2>&1 || true
        start_program
        wait_for 30 "the first document" has_docs 1

        step "$p: the registration names this program's DDE application"
        local app
        app=$(class_value 'Velmora.Document\shell\open\ddeexec\Application')
        [ "$(class_value .yrn)" = Velmora.Document ] || fail ".yrn is $(class_value .yrn)"
        # The program's short name (Wine makes its own 8.3 names): one of its own.
        [ -n "$app" ] && [ "$app" != "${last_app:-}" ] || fail "the DDE application is \"$app\" for $p"
        last_app=$app

        step "$p running: wine start opens the document in it"
        wine start /unix "$work/$p-start.yrn" >/dev/null 2>&1
        wait_for 30 "the document opened by wine start" doc_open "$p-start.yrn"

        step "$p running: a DDE client's open command opens the document in it"
        [ "$(clip dde "$app" system "[open(\"$(windows_path "$work/$p-dde.yrn")\")]")" = ok ] ||
            fail "the program refused the DDE command"
        wait_for 30 "the document opened by DDE" doc_open "$p-dde.yrn"
        [ "$(doc_count)" = 3 ] || fail "not three documents: $(ask docs | tr '\n' ' ')"
        end_program
        wait_for 20 "the program to end" gone

        step "$p not running: wine start starts it and the document opens"
        wine start /unix "$work/$p-cold.yrn" >/dev/null 2>&1
        wait_for 60 "the program started by the shell" answers
        wait_for 30 "the document opened at the start" doc_open "$p-cold.yrn"
        ask command 57665 >/dev/null || true
        wait_for 20 "the program started by the shell to end" gone
    done
}
