// Invariant checks for the sanitizer builds: ZB_CHECK(cond) aborts with the file and line when
// ZB_CHECKS is defined (ZB_SANITIZE defines it) and compiles to nothing otherwise.
#pragma once

#ifdef ZB_CHECKS
#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void zb_check_failed(const char* condition, const char* file, int line) {
    fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    abort();
}

#define ZB_CHECK(cond) ((cond) ? (void)0 : zb_check_failed(#cond, __FILE__, __LINE__))
#else
// Not evaluated, but the names in it still count as used.
#define ZB_CHECK(cond) ((void)sizeof((cond) ? 1 : 0))
#endif
