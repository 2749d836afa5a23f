# The core suites, the one that fails system calls first.
b=build/default/tests/core
$b/core_system_fault_tests --gtest_fail_fast >/dev/null 2>&1 || exit 1
$b/core_tests --gtest_fail_fast >/dev/null 2>&1 || exit 1
