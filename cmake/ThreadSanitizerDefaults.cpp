// Built into every program and test program of a ThreadSanitizer build.
//
// The text library starts a thread of its own to initialise the font
// configuration, which then shares caches with the thread that lays out text.
// The font configuration library is not built with the sanitizer, so its
// internal locking is invisible to it and it reports races inside that
// library that are not ours. Only races with a frame inside it are
// suppressed; a race on our own data elsewhere is still reported.
extern "C" const char* __tsan_default_suppressions() { return "race:libfontconfig.so\n"; }
