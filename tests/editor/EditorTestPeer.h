#pragma once
// The window's operations that no front end may call (they bypass the check
// that the window is open and not busy), for tests that must reach them as the
// platform would, such as an Apply that arrives while the button is disabled.

#include "editor/SaveGameEditor.h"

namespace varnholt {

class SaveGameEditorTestPeer {
  public:
    static void OnApply(SaveGameEditor& editor) { editor.OnApply(); }
    static void OnRefresh(SaveGameEditor& editor) { editor.OnRefresh(); }
    static void WriteControls(SaveGameEditor& editor) { editor.WriteControls(); }
    static bool loadCommand(SaveGameEditor& editor) { return editor.loadCommand(); }
    static int OnUnitScaleSpin(SaveGameEditor& editor, int position, int proposedStep) {
        return editor.OnUnitScaleSpin(position, proposedStep);
    }
};

} // namespace varnholt
