# Run-time checkers for the Linux build: QUORVEL_SANITIZERS is a list of
# GCC/Clang sanitizer names (e.g. "address;undefined"); every target of the
# build is compiled and linked with them, so the add-in, the host harness
# that loads it and the tests all carry the same runtime.
set(QUORVEL_SANITIZERS "" CACHE STRING "Sanitizers for every target, e.g. address;undefined (Linux)")

# The environment a sanitized test runs in: the first finding stops the
# process with a stack trace and fails the test, leaks included.
set(QUORVEL_SANITIZER_ENVIRONMENT "")

if(QUORVEL_SANITIZERS)
  if(WIN32)
    message(FATAL_ERROR "QUORVEL_SANITIZERS is for the Linux build")
  endif()
  list(JOIN QUORVEL_SANITIZERS "," _quorvel_sanitize)
  set(_quorvel_sanitizer_flags
    -fsanitize=${_quorvel_sanitize} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_compile_options(${_quorvel_sanitizer_flags})
  add_link_options(${_quorvel_sanitizer_flags})
  set(_quorvel_suppressions ${CMAKE_SOURCE_DIR}/tests/infra/lsan.supp)
  set(QUORVEL_SANITIZER_ENVIRONMENT
    "ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:print_stacktrace=1:abort_on_error=0:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
    "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
    "LSAN_OPTIONS=suppressions=${_quorvel_suppressions}:print_suppressions=0")
  message(STATUS "quorvel: sanitizers ${_quorvel_sanitize}")
endif()
