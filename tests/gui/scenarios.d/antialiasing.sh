# Scenarios of figlate's anti-aliased drawing against figmantle's plain drawing: one
# dashed segment drawn by both programs from a preferences file asking for "Always",
# figlate without gdiplus.dll, and "When Speed Permits" on the hook's clock.
# Sourced by tests/gui/scenarios, which holds the shared helpers.

# A preferences file of the first record and the anti-aliasing choice (tag 20020).
write_antialias_prefs() {
    printf '\x00\x00\x00\x00\x21\x4e\x00\x00\x02\x00\x00\x00\x34\x4e\x00\x00'"\\x0$1"'\x00' \
        >"$WINEPREFIX/drive_c/windows/Velmora Preferences.dat"
}

# Pixels of a screen row from x1 to x2 (exclusive): '#' drawn, '.' white.
screen_row() {
    local y=$1 x1=$2 x2=$3
    import -window root "$work/row.png"
    convert "$work/row.png" -crop "$((x2 - x1))x1+${x1}+${y}" +repage -depth 8 txt:- |
        awk 'NR > 1 { printf "%s", ($0 ~ /#FFFFFF/ ? "." : "#") } END { print "" }'
}

# The distinct lengths of the runs of a row, the partial runs at its ends left out.
inner_runs() {
    awk '{ n = split("", r); c = 1
           for (i = 2; i <= length($0) + 1; i++) {
               if (i <= length($0) && substr($0, i, 1) == substr($0, i - 1, 1)) c++
               else { r[++n] = c; c = 1 } }
           for (i = 2; i < n; i++) seen[r[i]] = 1
           for (k in seen) print k }' <<<"$1" | sort -n | tr '\n' ' ' | sed 's/ $//'
}

# The runs along the middle of the dashed segment from sketch (150, 150) to (350, 150).
segment_runs() {
    local a b
    read -r ax ay <<<"$(screen_point 150 150)"
    read -r bx _ <<<"$(screen_point 350 150)"
    inner_runs "$(screen_row "$ay" "$ax" "$bx")"
}

# Starts the program with "Always" in its preferences and one dashed segment.
start_with_dashed_segment() {
    write_antialias_prefs 2
    start_program
    wait_for 30 "the first document" has_docs 1
    [ "$(ask build-segment 100 150 400 150)" = ok ] || fail "the segment could not be made"
    [ "$(ask select 2)" = ok ] && [ "$(ask line-style 0)" = ok ] || fail "the segment is not dashed"
    [ "$(ask select)" = ok ] || fail "the selection stayed"
}

expect_runs() {
    local what=$1 expected=$2 got
    runs_are() { got=$(segment_runs); [ "$got" = "$expected" ]; }
    wait_for 10 "$what: runs '$expected' (last seen '${got:-}')" runs_are
}

scenario_antialias_dashes() {
    step "figmantle: dotted 3 on 3 off"
    program=figmantle
    start_with_dashed_segment
    expect_runs "figmantle dashed" "3"
    [ "$(ask antialias 2)" = none ] || fail "figmantle answers an anti-aliasing change"
    end_program
    wait "$program_pid" 2>/dev/null || true
    od -An -tx1 "$WINEPREFIX/drive_c/windows/Velmora Preferences.dat" | tr -d ' \n' | grep -q '02000000344e00000200' ||
        fail "figmantle's save dropped the anti-aliasing choice"

    step "figlate: dashes 6 on 4 off"
    program=figlate
    start_with_dashed_segment
    expect_runs "figlate dashed" "4 6"
    shot figlate-dashes
    end_program
    wait "$program_pid" 2>/dev/null || true

    step "figlate without gdiplus.dll: dotted, and Always refused"
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;gdiplus=" start_with_dashed_segment
    expect_runs "figlate without GDI+" "3"
    [ "$(ask antialias 2)" = refused ] || fail "Always was not refused without GDI+"
    [ "$(ask antialias 1)" = refused ] || fail "When Speed Permits was not refused without GDI+"
    [ "$(ask antialias 0)" = ok ] || fail "Never was refused"
}

scenario_antialias_speed() {
    program=figlate
    start_with_dashed_segment
    step "a slow first redraw turns drawing plain"
    ask clock freeze 100000 >/dev/null
    # Every read of the clock moves it on: the redraw overruns its budget.
    ask clock step 200 >/dev/null
    [ "$(ask antialias 1)" = ok ] || fail "When Speed Permits was refused"
    ask clock step 0 >/dev/null
    ask redraw >/dev/null
    expect_runs "drawing turned plain" "3"
    step "10 and then 16 fast large plain redraws bring it back"
    for _ in $(seq 2 25); do ask redraw >/dev/null; done
    expect_runs "still plain after 25" "3"
    ask redraw >/dev/null
    expect_runs "still plain on the 26th" "3"
    ask redraw >/dev/null
    expect_runs "anti-aliased again" "4 6"
    ask clock release >/dev/null
}
