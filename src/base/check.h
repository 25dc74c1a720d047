#ifndef SHELVORANQUIST_BASE_CHECK_H_
#define SHELVORANQUIST_BASE_CHECK_H_

// Writes "<file>:<line>: check failed: <what> (<condition>)" and a line end to standard error,
// then aborts. Only SHELVORANQUIST_CHECK calls it.
[[noreturn]] void Fail_check(const char* file, int line, const char* what, const char* condition);

// Keeps an invariant in every build, whatever NDEBUG says: when `condition` is false the run
// stops at once through Fail_check. `what` says in words what must hold; it is the part of the
// message that stays when the condition is rewritten.
#define SHELVORANQUIST_CHECK(condition, what) \
  ((condition) ? static_cast<void>(0) : Fail_check(__FILE__, __LINE__, what, #condition))

#endif  // SHELVORANQUIST_BASE_CHECK_H_
