# The suites that link core/, built and run one after the other: a fault that
# core_tests kills costs no other build. A later build that fails is logged.
b=build/default/tests
$b/core/core_tests --gtest_fail_fast >/dev/null 2>&1 || exit 1
cmake --build build/default -j2 --target cli_tests editor_tests shell_tests savegen_tests >/dev/null 2>&1 ||
  { git diff >> "${LATE_BUILD_LOG:-/tmp/late-build.log}"; exit 1; }
for t in cli/cli_tests editor/editor_tests shell/shell_tests savegen/savegen_tests; do
  $b/$t --gtest_fail_fast >/dev/null 2>&1 || exit 1
done
