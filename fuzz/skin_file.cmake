olvane_fuzz_target(skin_file sintra)
