// Sanitizer defaults for the sanitizer build of the tests and of the program
// they start; options the caller sets in ASAN_OPTIONS still have the last word.
//
// GCC 12's LeakSanitizer on Debian 12's glibc can record a bogus dynamic-TLS
// block for a thread and then crash its own tracer while scanning it at exit:
// about every other run of a clean test failed that way. Without the
// __tls_get_addr interception LSan still scans every heap, stack and static
// TLS root; it can only report more, never hide a leak.
extern "C" const char* __asan_default_options();
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }
