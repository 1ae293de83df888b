function(quorvel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
  # GCC 12 reports overlapping copies in std::string concatenation that
  # cannot happen (GCC bug 105329), mostly at -O3 on 32-bit targets.
  # (clang has no such warning and refuses the unknown option.)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(QUORVEL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
