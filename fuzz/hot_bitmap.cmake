olvane_fuzz_target(hot_bitmap sintra)
