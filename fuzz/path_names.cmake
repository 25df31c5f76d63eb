olvane_fuzz_target(path_names pravex)
