# Scenario of an older Mac document's texts in both programs: a caption holding CR and
# byte 0xB9 (written by the tests' writer, through figdriver) reads as two lines, the
# second beginning "pi". Sourced by tests/gui/scenarios.

scenario_release2_mac_caption() {
    local file="$work/older.yrn"
    wine "$build/figdriver.exe" -mac-caption "$(windows_path "$file")" >/dev/null 2>&1 ||
        fail "the older document could not be written"
    for program in figmantle figlate; do
        step "$program: the older Mac document opened"
        start_program
        wait_for 30 "the first document" has_docs 1
        ask command 57601 >/dev/null
        answer_file_dialog "$(windows_path "$file")"
        wait_for 20 "the older document" has_docs 2
        no_dialog || dismiss_alert
        local layout
        layout=$(ask styles | awk -F'|' '$1 ~ /^0 / { sub(/^ /, "", $NF); print $NF }')
        # A column of two rows of text: "Area", then "pi r".
        [ "$layout" = "<VL<T4xArea><T4xpi r>>" ] || fail "the caption reads $layout"
        end_program
        wait "$program_pid" 2>/dev/null || true
        program_pid=
    done
}
