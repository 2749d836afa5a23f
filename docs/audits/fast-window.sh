# The suites that link window/ (and editor/, qt/), built and run one after the
# other, the cheapest first: a fault that an early suite kills costs no other
# build. A later build that fails is logged.
b=build/default/tests
for t in window/window_tests editor/editor_tests shell/shell_tests qt/qt_editor_window_tests; do
  cmake --build build/default -j2 --target "${t#*/}" >/dev/null 2>&1 ||
    { git diff >> "${LATE_BUILD_LOG:-/tmp/late-build.log}"; exit 1; }
  case $t in qt/*) flag= ;; *) flag=--gtest_fail_fast ;; esac
  QT_QPA_PLATFORM=offscreen $b/$t $flag >/dev/null 2>&1 || exit 1
done
