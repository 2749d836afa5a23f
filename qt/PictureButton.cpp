#include "qt/PictureButton.h"

#include <QPainter>
#include <QPixmapCache>

namespace varnholt::qt {

namespace {

QPixmap loadPicture(const QString& folder, std::string_view name) {
    const QString path = folder + QLatin1Char('/') +
                         QString::fromUtf8(name.data(), qsizetype(name.size())) +
                         QStringLiteral(".bmp");
    QPixmap picture;
    if (!QPixmapCache::find(path, &picture)) {
        picture.load(path);
        QPixmapCache::insert(path, picture);
    }
    return picture;
}

} // namespace

PictureButton::PictureButton(QWidget* parent) : QPushButton(parent) {}

void PictureButton::setPictures(const PictureNames& names, const QString& folder) {
    names_ = names;
    folder_ = folder;
    size_ = loadPicture(folder, names.normal).size();
    setFixedSize(size_);
    update();
}

QSize PictureButton::sizeHint() const {
    return size_;
}

QString PictureButton::currentPictureName() const {
    const std::string_view name = pictureFor(names_, isDown(), hasFocus(), isEnabled());
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

void PictureButton::paintEvent(QPaintEvent*) {
    if (folder_.isEmpty())
        return;
    QPainter painter(this);
    const std::string_view name = pictureFor(names_, isDown(), hasFocus(), isEnabled());
    // Nearest-pixel scaling keeps the 16-colour pictures crisp on scaled screens.
    painter.drawPixmap(QRect(QPoint(0, 0), size_), loadPicture(folder_, name));
}

} // namespace varnholt::qt
