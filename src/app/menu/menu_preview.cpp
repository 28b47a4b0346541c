#include "app/menu/menu_preview.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

#include "app/menu/menu_page_view.h"

namespace lumora::app {

QImage pictureImage(const Picture& picture) {
    if (picture.empty() || picture.pixels.size() < std::size_t{picture.width} * picture.height)
        return {};
    QImage image(static_cast<int>(picture.width), static_cast<int>(picture.height),
                 QImage::Format_ARGB32);
    const std::uint32_t* pixel = picture.pixels.data();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x, ++pixel) {
            const std::uint32_t p = *pixel;
            line[x] = qRgba(static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                            static_cast<int>((p >> 16) & 0xFF), static_cast<int>(p >> 24));
        }
    }
    return image;
}

ObjectPreview::ObjectPreview(const QString& name, QWidget* parent) : QScrollArea(parent) {
    setObjectName(name);
    label_ = new QLabel;
    label_->setObjectName(name + "Picture");
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setMouseTracking(true);
    label_->installEventFilter(this);
    setWidget(label_);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackground(background_);
    clearPicture();
}

QWidget* ObjectPreview::pictureWidget() const {
    return label_;
}

void ObjectPreview::setBackground(const QColor& colour) {
    background_ = colour;
    QPalette area = viewport()->palette();
    area.setColor(QPalette::Window, colour);
    viewport()->setPalette(area);
    viewport()->setAutoFillBackground(true);
    paintShown();
}

void ObjectPreview::showButtonPicture(const ButtonPicture& picture, std::uint32_t palette) {
    if (!picture.showsObject && !picture.paletteView) {
        clearPicture();
        return;
    }
    showFrame(picture.picture);
    paletteView_ = picture.paletteView;
    palette_ = palette;
}

void ObjectPreview::showFrame(const FrameBuffer& frame) {
    // A copy: the renderer draws into its pictures again later.
    shown_ = frameImage(frame).copy();
    paletteView_ = false;
    paintShown();
}

void ObjectPreview::clearPicture() {
    shown_ = QImage();
    paletteView_ = false;
    label_->unsetCursor();
    paintShown();
}

// The far corner first, then the near one: an area larger than the view
// shows its top-left part.  A hidden preview has not sized its scroll bars
// to the picture yet; it scrolls once it is shown.
void ObjectPreview::showArea(const QRect& area) {
    pendingArea_ = QRect();
    if (area.isEmpty()) return;
    if (!isVisible()) {
        pendingArea_ = area;
        return;
    }
    ensureVisible(area.right(), area.bottom(), 10, 10);
    ensureVisible(area.left(), area.top(), 10, 10);
}

void ObjectPreview::showEvent(QShowEvent* event) {
    QScrollArea::showEvent(event);
    if (pendingArea_.isEmpty()) return;
    QTimer::singleShot(0, this, [this] {
        const QRect area = pendingArea_;
        showArea(area);
    });
}

void ObjectPreview::paintShown() {
    if (shown_.isNull()) {
        QPixmap dot(1, 1);
        dot.fill(background_);
        label_->setPixmap(dot);
        label_->resize(1, 1);
        return;
    }
    label_->setPixmap(QPixmap::fromImage(shown_));
    label_->resize(shown_.size());
}

bool ObjectPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label_ && event->type() == QEvent::MouseMove && paletteView_) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        emit paletteHovered(palette_, at.x(), at.y());
    }
    return QScrollArea::eventFilter(watched, event);
}

}  // namespace lumora::app
