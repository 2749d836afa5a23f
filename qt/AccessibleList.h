#pragma once
// What assistive technology reads of a drop-down list: its name is what the
// list sets (its accessible name, else the label whose buddy it is) and its
// value the item shown. Qt's own answer on Linux and macOS names a list by the
// item shown, so that a screen reader says "Very Hard, combo box" and never
// which difficulty that is.

namespace varnholt::qt {

// Installs the answer for every drop-down list that cannot be typed into, once
// per program; a QApplication must exist.
void installAccessibleLists();

} // namespace varnholt::qt
