# Every build must print the bytes of the x86-64 build: each single-precision
# step rounded to single precision, with no x87 excess precision and no
# fused multiply-add. A compiler that cannot promise this stops the
# configure step rather than build programs that print other digits.
include(CheckCXXSourceCompiles)

# 32-bit x86 computes in the x87 unit unless told to use SSE2.
set(regkit_fp_flags -ffp-contract=off -fno-fast-math)
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86|x86_64|AMD64)$")
  list(APPEND regkit_fp_flags -msse2 -mfpmath=sse)
endif()

set(saved_flags "${CMAKE_REQUIRED_FLAGS}")
list(JOIN regkit_fp_flags " " CMAKE_REQUIRED_FLAGS)
check_cxx_source_compiles("
#include <cfloat>
static_assert(FLT_EVAL_METHOD == 0, \"excess precision\");
static_assert(sizeof(float) == 4 && sizeof(long long) == 8, \"sizes\");
int main() { return 0; }" regkit_single_precision)
set(CMAKE_REQUIRED_FLAGS "${saved_flags}")
if(NOT regkit_single_precision)
  message(FATAL_ERROR "${CMAKE_CXX_COMPILER} cannot compute in plain single precision with "
                      "${regkit_fp_flags}: its results would differ from other machines")
endif()
add_compile_options(${regkit_fp_flags})
