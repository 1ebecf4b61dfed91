// Built into every program and test of the sanitizer build. Leaks that are
// not ours are suppressed here, each with the reason; everything else a
// sanitizer finds ends the process with an error.
extern "C" {

const char* __asan_default_options()
{
    return "detect_leaks=1:exitcode=23";
}

const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

const char* __lsan_default_suppressions()
{
    // Qt's platform theme opens a D-Bus session connection that libdbus keeps
    // as a shared singleton and never frees.
    return "leak:libdbus-1.so\n";
}

}  // extern "C"
