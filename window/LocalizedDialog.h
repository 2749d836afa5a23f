#pragma once
// A dialog description in the user's language: the title, every caption and
// every list item through localized(). Texts that are not in the catalogue
// (a picture button's picture names, an address) stay as they are. The
// rectangles stay in dialog units; fitting them to the longer words is the
// front end's, through fitDialog.

#include "window/DialogLayout.h"

#include <vector>

namespace varnholt {

class LocalizedDialog {
  public:
    // `english` must outlive this object: the layout refers to it.
    explicit LocalizedDialog(const DialogLayout& english);
    LocalizedDialog(const LocalizedDialog&) = delete;
    LocalizedDialog& operator=(const LocalizedDialog&) = delete;

    // Valid as long as this object.
    const DialogLayout& layout() const { return layout_; }

  private:
    std::vector<std::vector<std::string_view>> items_;
    std::vector<ControlLayout> controls_;
    DialogLayout layout_;
};

} // namespace varnholt
