# The target compresses test data itself, so it links zlib as well.
olvane_fuzz_target(screen_codec "pravex;PkgConfig::ZLIB")
