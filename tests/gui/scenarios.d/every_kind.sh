# The page that holds an object of every kind (the document tests write it as a fuzz
# seed), opened in the program: every object drawn, and the iterated images of a
# coloured segment each in its own colour.

# How many pixels of a screen region are not white, in the screenshot region.png.
inked_pixels() {
    convert "$work/region.png" -crop "$3x$4+$1+$2" +repage -fx '(r+g+b < 2.98) ? 1 : 0' \
        -format "%[fx:int(mean * w * h + 0.5)]" info:
}

scenario_every_kind_page() {
    local file="$work/every_kind.yrn"
    cp "$top/fuzz/seeds/document_read_fuzz/every_kind" "$file"
    start_program
    wait_for 30 "the first document" has_docs 1
    step "open the page of every kind"
    ask command 57601 >/dev/null
    answer_file_dialog "$(windows_path "$file")"
    opened() { ask docs | grep -q '^every_kind'; }
    wait_for 30 "the document" opened
    ask select >/dev/null
    sleep 1
    shot opened

    step "every shown object in the view is drawn"
    local vx vy bottom n i line l t r b checked=0
    read -r vx vy <<<"$(ask viewpoint 0 0)"
    bottom=$(($(ask viewbottom) - vy - 4))
    import -window root "$work/region.png"
    n=$(ask objects | grep -c .)
    for ((i = 0; i < n; i++)); do
        line=$(ask objects | sed -n "$((i + 1))p")
        # Existing and shown; iterations themselves draw nothing.
        case "$line" in "14 "*) continue ;; *" 1 0 "*) ;; *) continue ;; esac
        read -r l t r b <<<"$(ask bounds $i)"
        ((l < 0)) && l=0
        ((t < 0)) && t=0
        ((r > 500)) && r=500
        ((b > bottom)) && b=$bottom
        ((l < r && t < b)) || continue
        [ "$(inked_pixels $((vx + l)) $((vy + t)) $((r - l + 1)) $((b - t + 1)))" -gt 0 ] ||
            fail "object $i ($line) is not drawn in $l $t $r $b"
        checked=$((checked + 1))
    done
    [ "$checked" -ge 25 ] || fail "only $checked objects lie in the view"

    step "the iterated images of the coloured segment show their own colours"
    local per_cm k y want got seen=""
    per_cm=$(colors | awk '$2 == 41 && $4 != "-" { v = $4 } END { printf "%.17g\n", 160 / v }')
    for k in 1 2 3; do
        y=$((46 + 12 * k))
        want=$(spectrum_of "$(unit_of "$(awk -v k="$k" -v c="$per_cm" 'BEGIN { print (160 - 12 * k) / c }')" 0 5 1)")
        got=$(pixel_at 200 $y)
        close_colors "$got" "$want" || fail "image $k at y $y is $got, not $want"
        case " $seen " in *" $got "*) fail "two images share the colour $got" ;; esac
        seen="$seen $got"
    done
}
