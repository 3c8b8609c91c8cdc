# Scenarios of the program as an OLE server: its class in the registry, embedding in a
# small test container. Sourced by tests/gui/scenarios, which holds the shared helpers.

ole_class='{9FA53D8A-BAC8-4FBF-8595-7AA32F7B5FF9}'

reg_value() { wine reg query "$1" ${2:+/v "$2"} 2>/dev/null | tr -d '\r'; }
class_registered() { wine reg query "HKCR\\CLSID\\$ole_class" >/dev/null 2>&1; }
class_unregistered() { ! class_registered; }

scenario_registration() {
    step "a normal start writes the class into the registry"
    wine reg delete "HKCR\\CLSID\\$ole_class" /f >/dev/null 2>&1 || true
    start_program
    wait_for 30 "the first document" has_docs 1
    wait_for 10 "the class in the registry" class_registered
    local exe
    exe=$(windows_path "$build/figmantle_test.exe")
    reg_value "HKCR\\CLSID\\$ole_class\\LocalServer32" | grep -qiF "$exe" ||
        fail "LocalServer32 is not the program: $(reg_value "HKCR\\CLSID\\$ole_class\\LocalServer32")"
    reg_value "HKCR\\CLSID\\$ole_class\\ProgID" | grep -q "Velmora.Document" || fail "no ProgID"
    reg_value "HKCR\\Velmora.Document\\CLSID" | grep -qF "$ole_class" || fail "the ProgID does not name the class"
    for key in InprocHandler32 Insertable 'verb\0' MiscStatus DefaultIcon 'AuxUserType\2' 'AuxUserType\3'; do
        wine reg query "HKCR\\CLSID\\$ole_class\\$key" >/dev/null 2>&1 || fail "no $key under the class"
    done
    reg_value "HKCR\\CLSID\\$ole_class\\AuxUserType\\2" | grep -q Sketch || fail "short type name"
    reg_value "HKCR\\Velmora.Document\\shell\\open\\command" | grep -q . || fail "the file type went"
    end_program

    step "/Unregserver removes it and ends"
    timeout 60 wine "$build/figmantle_test.exe" /Unregserver >/dev/null 2>&1 || true
    wait_for 10 "the class to go" class_unregistered
    wine reg query "HKCR\\Velmora.Document\\CLSID" >/dev/null 2>&1 && fail "the ProgID still names the class"
    return 0
}

container_pid=
cask() { timeout 60 wine "$build/figdriver.exe" -c "$@" 2>/dev/null | tr -d '\r'; }
container_answers() { [ "$(cask ping)" = pong ]; }
program_gone() { ! answers; }
start_container() {
    wine "$build/ole_container.exe" "$(windows_path "$work/container.log")" "$(windows_path "$work/container.stg")" \
        >/dev/null 2>&1 &
    container_pid=$!
    wait_for 60 "the container to answer" container_answers
}
end_container() {
    [ -n "$container_pid" ] && kill -0 "$container_pid" 2>/dev/null && cask quit >/dev/null
    end_program
}
# The colour inside the container's picture at a point of the picture (pixels from its corner).
picture_pixel() {
    local x y
    read -r x y _ <<<"$(cask rect)"
    pixel $((x + $1)) $((y + $2))
}
# Whether the container's picture (or with "pasted", its pasted object's) holds anything
# dark: drawn objects on the white sketch.
picture_has_ink() {
    local x y w h
    read -r x y w h _ <<<"$(cask rect "$@")"
    import -window root "$work/picture.png"
    [ "$(convert "$work/picture.png" -crop "${w}x${h}+${x}+${y}" -colorspace gray -format "%[fx:minima<0.5]" info:)" = 1 ]
}
container_logged() { grep -q "$1" "$work/container.log"; }
main_visible() { [ "$(ask mainvisible)" = 1 ]; }

scenario_embedding() {
    step "a normal start registers the class"
    start_program
    wait_for 30 "the first document" has_docs 1
    end_program
    wait_for 20 "the program to end" program_gone
    program_pid=
    trap end_container EXIT

    step "the container creates the object by its class: the program starts hidden, without a splash"
    start_container
    [ "$(cask create Velmora.Document)" = ok ] || fail "OleCreate failed: $(cat "$work/container.log")"
    wait_for 30 "the program to answer" answers
    [ "$(ask mainvisible)" = 0 ] || fail "the main window shows for an embedding"
    [ "$(ask splash)" = none ] || fail "a splash for an embedding"
    has_docs 1 || fail "not one document: $(ask docs)"

    step "the extent: 100 x 100 pixels are 2540 x 2540 HIMETRIC"
    [ "$(cask extent)" = "2540 2540" ] || fail "extent $(cask extent)"
    cask draw >/dev/null
    wait_for 10 "the picture in the container" container_logged "OleDraw 00000000"
    is_white "$(picture_pixel 50 50)" || fail "the container does not draw the blank sketch: $(picture_pixel 50 50)"
    shot created

    step "open shows the frame with the embedding's menu"
    [ "$(cask open)" = ok ] || fail "DoVerb open failed: $(tail -3 "$work/container.log")"
    wait_for 20 "the main window" main_visible
    ask menus | grep -q "&Update" || fail "not the embedding's menu: $(ask menus | head -5)"
    container_logged "site OnShowWindow 1" || fail "the container was not told the object opened"

    step "a segment drawn with real clicks shows in the container after File > Update"
    tool_is() { [ "$(ask tool)" = "$1" ]; }
    # shellcheck disable=SC2086
    xdotool mousemove $(ask toolbutton 32783) click 1
    wait_for 10 "the segment tool" tool_is 6
    straightedge_checked() { ask toolbox | grep -q '^32783|[0-9]*|1|' && ! point_checked; }
    wait_for 10 "the in-place straightedge button checked instead" straightedge_checked
    local a b
    a=$(screen_point 20 20)
    b=$(screen_point 80 80)
    # shellcheck disable=SC2086
    xdotool mousemove $a click 1 sleep 0.3 mousemove $b click 1
    wait_for 20 "three objects" object_count_is -ge 3
    ask command $((0xE1C1)) >/dev/null
    wait_for 20 "the container to save the object" container_logged "site SaveObject 00000000"
    cask draw >/dev/null
    sleep 1
    dark_at_picture() { is_dark "$(picture_pixel 50 50)"; }
    wait_for 20 "the segment in the container's picture" dark_at_picture
    shot updated

    step "Save Copy As writes the sketch to a file; the object stays its container's"
    local docs_before copy="$work/copy.yrn"
    docs_before=$(ask docs)
    ask command $((0xE1C4)) >/dev/null
    wait_for 30 "the Save Copy As dialog" dialog_open
    [ "$(ask dialog | head -n1)" = "Save Copy As" ] || fail "not the Save Copy As dialog: $(ask dialog | head -n1)"
    answer_file_dialog "$(windows_path "$copy")"
    wait_for 30 "the copy on disk" test -s "$copy"
    [ "$(ask docs)" = "$docs_before" ] || fail "the embedded document changed its name: $(ask docs)"

    step "Ctrl+C copies the object; the container pastes it as a second object that runs and draws the sketch"
    focus_view
    xdotool key ctrl+c
    pasted() { [ "$(cask paste)" = ok ]; }
    wait_for 20 "the container to paste the copy" pasted
    container_logged "OleQueryCreateFromData 00000000" || fail "the copy is not an embeddable object"
    container_logged "descriptor 2540 2540" || fail "the copy's descriptor: $(grep descriptor "$work/container.log")"
    container_logged "clipboard picture 14 00000000" || fail "no enhanced metafile of the copy for another program"
    # The pasted object's picture comes from it running: Wine's reader of the OLE clipboard
    # serves no metafile picture, so the cache cannot take the copy's own.
    [ "$(cask run pasted)" = ok ] || fail "the pasted object did not run: $(tail -3 "$work/container.log")"
    wait_for 20 "the pasted object's document" has_docs 2
    [ "$(cask update pasted)" = ok ] || fail "the update from the pasted object failed"
    cask draw >/dev/null
    wait_for 20 "the pasted picture" picture_has_ink pasted
    cask release-pasted >/dev/null
    wait_for 20 "the pasted object's document to close" has_docs 1
    shot pasted

    step "saved, released and loaded again, the object holds the segment"
    [ "$(cask save)" = ok ] || fail "the save failed: $(tail -3 "$work/container.log")"
    cask release >/dev/null
    wait_for 30 "the program to end with its object" program_gone
    [ "$(cask load)" = ok ] || fail "the load failed: $(tail -3 "$work/container.log")"
    cask draw >/dev/null
    wait_for 20 "the stored picture" dark_at_picture
    [ "$(cask run)" = ok ] || fail "the object did not run: $(tail -3 "$work/container.log")"
    wait_for 30 "the program to answer" answers
    [ "$(cask open)" = ok ] || fail "DoVerb open after the load failed"
    wait_for 20 "the loaded sketch's objects" object_count_is -ge 3
    [ "$(cask update)" = ok ] || fail "the update from the running object failed"
    cask draw >/dev/null
    wait_for 20 "the picture drawn by the loaded sketch" dark_at_picture

    step "closing the container ends the server"
    cask quit >/dev/null
    wait_for 30 "the program to end" program_gone
    wait_for 10 "the container to end" container_logged ended
}

inplace_active() { [ "$(ask inplace)" != none ] && [ -n "$(ask inplace)" ]; }
inplace_gone() { [ "$(ask inplace)" = none ]; }
container_window() { xdotool search --name "^Test Container$" | head -n1; }

scenario_in_place() {
    start_program
    wait_for 30 "the first document" has_docs 1
    end_program
    wait_for 20 "the program to end" program_gone
    program_pid=
    trap end_container EXIT
    start_container
    [ "$(cask create Velmora.Document)" = ok ] || fail "OleCreate failed"
    wait_for 30 "the program to answer" answers
    cask extent >/dev/null

    step "activation puts the frame in the container's window and the toolbox in its frame"
    [ "$(cask inplace)" = ok ] || fail "in-place activation failed: $(tail -5 "$work/container.log")"
    wait_for 20 "the in-place frame" inplace_active
    local state frame parent bar barParent
    state=$(ask inplace)
    read -r frame parent bar barParent _ <<<"$state"
    [ "$parent" = "$barParent" ] || fail "the toolbox is not in the container's frame: $state"
    [ "$bar" != 0 ] || fail "no toolbox: $state"
    for call in "site OnInPlaceActivate" "site OnUIActivate" "frame SetBorderSpace [1-9]" "frame SetActiveObject" \
                "frame SetMenu"; do
        container_logged "$call" || fail "the container was not called: $call"
    done
    [ "$(ask mainvisible)" = 0 ] || fail "the main window shows while in place"

    step "the toolbox in the container's frame takes real clicks: a point, then a segment, made in place"
    tool_is() { [ "$(ask tool)" = "$1" ]; }
    local button
    button=$(ask toolbutton 32774)
    [ "$button" != none ] || fail "the point tool's button lies outside the in-place toolbox"
    # shellcheck disable=SC2086
    xdotool mousemove $button click 1
    wait_for 10 "the point tool" tool_is 4
    point_checked() { ask toolbox | grep -q '^32774|[0-9]*|1|'; }
    wait_for 10 "the in-place point button checked" point_checked
    # shellcheck disable=SC2086
    xdotool mousemove $(screen_point 70 15) click 1
    wait_for 20 "a point from a real click" object_count_is -ge 1
    button=$(ask toolbutton 32783)
    [ "$button" != none ] || fail "the straightedge button lies outside the in-place toolbox"
    # shellcheck disable=SC2086
    xdotool mousemove $button click 1
    wait_for 10 "the segment tool" tool_is 6
    # shellcheck disable=SC2086
    xdotool mousemove $(screen_point 20 20) click 1 sleep 0.3 mousemove $(screen_point 80 80) click 1
    wait_for 20 "the point and a segment's three objects" object_count_is -ge 4
    shot in-place

    step "after deactivation the container draws it"
    [ "$(cask deactivate)" = ok ] || fail "deactivation failed"
    wait_for 20 "the in-place frame to go" inplace_gone
    container_logged "site OnInPlaceDeactivate" || fail "the container was not told of the deactivation"
    # The objects may have grown the item: a container asks its extent again.
    cask extent >/dev/null
    cask draw >/dev/null
    wait_for 20 "the objects in the container's picture" picture_has_ink
    shot deactivated

    step "a second activation works"
    [ "$(cask inplace)" = ok ] || fail "the second activation failed: $(tail -5 "$work/container.log")"
    wait_for 20 "the in-place frame again" inplace_active
    object_count_is -ge 3 || fail "the segment went: $(ask objects)"

    step "dragging the resize bar's corner handle enlarges the object: the container moves it, the extent follows"
    local fl ft fr fb w0 h0 x0 y0
    read -r _ _ _ _ _ _ _ _ _ _ fl ft fr fb _ <<<"$(ask inplace)"
    read -r x0 y0 _ <<<"$(cask extent)"
    w0=$((fr - fl))
    h0=$((fb - ft))
    xdotool mousemove $((fr - 3)) $((fb - 3)) mousedown 1 sleep 0.3 mousemove $((fr + 10)) $((fb + 5)) sleep 0.3 \
        mousemove $((fr + 27)) $((fb + 17)) sleep 0.3 mouseup 1
    wait_for 10 "the container to be asked for the new place" container_logged "site OnPosRectChange"
    # The container logs the object's answer once the call to the program returns.
    wait_for 10 "the container to pass the new place on" container_logged "SetObjectRects "
    container_logged "SetObjectRects 00000000" || fail "the object did not take its new place"
    resized() {
        local l t r b
        read -r _ _ _ _ _ _ _ _ _ _ l t r b _ <<<"$(ask inplace)"
        [ $((r - l)) -eq $((w0 + 30)) ] && [ $((b - t)) -eq $((h0 + 20)) ]
    }
    wait_for 10 "the frame at its new size" resized
    local x1 y1
    read -r x1 y1 _ <<<"$(cask extent)"
    # 30 and 20 pixels more at the screen's 96 per inch, to a few units of rounding.
    [ $((x1 - x0 - 30 * 2540 / 96)) -le 30 ] && [ $((x0 + 30 * 2540 / 96 - x1)) -le 30 ] &&
        [ $((y1 - y0 - 20 * 2540 / 96)) -le 30 ] && [ $((y0 + 20 * 2540 / 96 - y1)) -le 30 ] ||
        fail "the extent after resizing: $x0 $y0 -> $x1 $y1"

    step "a container that keeps the object where it is: the frame and the extent stay"
    cask refuse-moves >/dev/null
    read -r _ _ _ _ _ _ _ _ _ _ fl ft fr fb _ <<<"$(ask inplace)"
    xdotool mousemove $((fr - 3)) $((fb - 3)) mousedown 1 sleep 0.3 mousemove $((fr + 17)) $((fb + 7)) sleep 0.3 mouseup 1
    asked_twice() { [ "$(grep -c "site OnPosRectChange" "$work/container.log")" -ge 2 ]; }
    wait_for 10 "the container to be asked again" asked_twice
    local l t r b
    read -r _ _ _ _ _ _ _ _ _ _ l t r b _ <<<"$(ask inplace)"
    [ "$l $t $r $b" = "$fl $ft $fr $fb" ] || fail "the frame moved without the container: $fl $ft $fr $fb -> $l $t $r $b"
    [ "$(cask extent)" = "$x1 $y1" ] || fail "the extent changed without the container: $x1 $y1 -> $(cask extent)"
    [ "$(cask deactivate)" = ok ] || fail "the second deactivation failed"
    wait_for 20 "the in-place frame to go" inplace_gone
    cask quit >/dev/null
    wait_for 30 "the program to end" program_gone
}
