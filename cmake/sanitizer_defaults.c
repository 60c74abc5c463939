/* Sanitizer defaults built into every program of a sanitized tree; the
   ASAN_OPTIONS and UBSAN_OPTIONS environment variables still override them.

   Leak checking is off here: LeakSanitizer stops the world with a clone()
   that qemu-user refuses (EINVAL), and then waits forever at exit, so every
   i386 program run through qemu would hang. Where i386 programs run
   natively, scripts/test.sh turns it on with ASAN_OPTIONS=detect_leaks=1. */

const char *__asan_default_options(void);
const char *__ubsan_default_options(void);

const char *__asan_default_options(void) {
    return "detect_leaks=0:strict_string_checks=1:detect_stack_use_after_return=1";
}

const char *__ubsan_default_options(void) {
    return "print_stacktrace=1:halt_on_error=1";
}
