scenario_zz_probe() {
    start_program
    wait_for 30 "the first document" has_docs 1
    ask build-buttons animate
    ask build-buttons move
    ask buttons
    ask objects
}
