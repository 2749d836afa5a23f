#pragma once
// A push button drawn entirely from four pictures (normal, pressed, focused,
// disabled), at the pictures' own size in device-independent pixels, so that
// a high-DPI screen scales them as it scales everything else. A push button to
// the dialog, so that Enter presses it while it has the focus.

#include "window/DialogLayout.h"

#include <QPixmap>
#include <QPushButton>

namespace varnholt::qt {

class PictureButton : public QPushButton {
    Q_OBJECT
  public:
    explicit PictureButton(QWidget* parent = nullptr);

    // Takes the four pictures, by name from `folder` (a resource path) as .bmp
    // files, and their size.
    void setPictures(const PictureNames& names, const QString& folder);

    QSize sizeHint() const override;
    // The picture shown now, chosen by the model's rule.
    QString currentPictureName() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    PictureNames names_;
    QString folder_;
    QSize size_;
};

} // namespace varnholt::qt
