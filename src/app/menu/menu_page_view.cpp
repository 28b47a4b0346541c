#include "app/menu/menu_page_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace lumora::app {

QImage frameImage(const FrameBuffer& frame) {
    if (frame.empty()) return {};
    return QImage(frame.bytes(), frame.width(), frame.height(),
                  static_cast<qsizetype>(frame.strideBytes()), QImage::Format_RGBX8888);
}

// The widget the page is painted on; it hands its input to the view.
class MenuPageCanvas : public QWidget {
public:
    explicit MenuPageCanvas(MenuPageView& view) : QWidget(nullptr), view_(view) {
        setObjectName("iPage");
        setMouseTracking(true);
        // A click gives the page the focus, so keys pressed over it are its
        // own and never turn the page selector.
        setFocusPolicy(Qt::ClickFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        const FrameBuffer* frame = view_.frame_;
        if (view_.fullScreen_) {
            painter.fillRect(event->rect(), Qt::black);
        } else {
            painter.fillRect(event->rect(), view_.areaColour_);
        }
        if (frame == nullptr || frame->empty()) return;
        const QImage image = frameImage(*frame);
        if (view_.scaled()) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(view_.shownRect(), image);
        } else {
            const QRect area = event->rect().intersected(image.rect());
            painter.drawImage(area, image, area);
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint page = view_.toPage(event->position().toPoint());
        emit view_.pointerPressed(event->button(), page.x(), page.y());
        QWidget::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint page = view_.toPage(event->position().toPoint());
        emit view_.pointerMoved(page.x(), page.y(), event->modifiers());
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        emit view_.pointerReleased(event->button());
    }
    void leaveEvent(QEvent* event) override {
        emit view_.pointerLeft();
        QWidget::leaveEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override { emit view_.keyPressed(event->key()); }

private:
    MenuPageView& view_;
};

MenuPageView::MenuPageView(QWidget* parent) : QScrollArea(parent) {
    setObjectName("sbPageView");
    canvas_ = new MenuPageCanvas(*this);
    setWidget(canvas_);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAreaColour(areaColour_);
    applyMode();
}

QWidget* MenuPageView::canvas() const {
    return canvas_;
}

void MenuPageView::setFrame(const FrameBuffer* frame) {
    frame_ = frame;
    canvas_->update();
}

void MenuPageView::setFullScreen(bool on) {
    if (on == fullScreen_) return;
    fullScreen_ = on;
    applyMode();
}

void MenuPageView::setZoom(Zoom zoom) {
    if (zoom == zoom_) return;
    zoom_ = zoom;
    applyMode();
}

double MenuPageView::shownScale() const {
    return static_cast<double>(shownRect().width()) / PageRenderer::kWidth;
}

void MenuPageView::tellScale() {
    const double scale = shownScale();
    if (scale == toldScale_ || scale <= 0) return;
    toldScale_ = scale;
    emit scaleChanged(scale);
}

void MenuPageView::setAreaColour(const QColor& colour) {
    areaColour_ = colour;
    QPalette area = viewport()->palette();
    area.setColor(QPalette::Window, fullScreen_ ? QColor(Qt::black) : colour);
    viewport()->setPalette(area);
    viewport()->setAutoFillBackground(true);
    canvas_->update();
}

// Fitted (full screen or the "Fit" zoom): the canvas fills the area and the
// page is scaled into it; otherwise the canvas is the page's shown size and
// scrolls.
void MenuPageView::applyMode() {
    const Qt::ScrollBarPolicy bars = fitted() ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    setHorizontalScrollBarPolicy(bars);
    setVerticalScrollBarPolicy(bars);
    setWidgetResizable(fitted());
    if (fitted()) {
        canvas_->setMinimumSize(0, 0);
        canvas_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        const int divisor = zoom_ == Zoom::Half ? 2 : 1;
        canvas_->setFixedSize(PageRenderer::kWidth / divisor, PageRenderer::kHeight / divisor);
    }
    setAreaColour(areaColour_);
    tellScale();
}

void MenuPageView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    if (!fitted()) return;
    canvas_->update();
    tellScale();
}

QRect MenuPageView::shownRect() const {
    if (!fitted()) {
        const int divisor = zoom_ == Zoom::Half ? 2 : 1;
        return {0, 0, PageRenderer::kWidth / divisor, PageRenderer::kHeight / divisor};
    }
    const PixelRect fit = fitFullScreen(canvas_->width(), canvas_->height());
    return {static_cast<int>(fit.left), static_cast<int>(fit.top), static_cast<int>(fit.width()),
            static_cast<int>(fit.height())};
}

QPoint MenuPageView::toPage(const QPoint& point) const {
    if (!scaled()) return point;
    const QRect shown = shownRect();
    return {static_cast<int>(toPageX(point.x() - shown.left(), shown.width())),
            static_cast<int>(toPageY(point.y() - shown.top(), shown.height()))};
}

// The canvas area a page rectangle covers; a pixel more on each side when
// the page is scaled, where scaling spreads a page pixel over its neighbours.
QRect MenuPageView::canvasRect(const PixelRect& area) const {
    if (!scaled()) {
        return {static_cast<int>(area.left), static_cast<int>(area.top),
                static_cast<int>(area.width()), static_cast<int>(area.height())};
    }
    const QRect shown = shownRect();
    const auto scaleX = [&](std::int64_t x) {
        return shown.left() + static_cast<int>(x * shown.width() / PageRenderer::kWidth);
    };
    const auto scaleY = [&](std::int64_t y) {
        return shown.top() + static_cast<int>(y * shown.height() / PageRenderer::kHeight);
    };
    return QRect(QPoint(scaleX(area.left) - 1, scaleY(area.top) - 1),
                 QPoint(scaleX(area.right) + 1, scaleY(area.bottom) + 1));
}

void MenuPageView::pageChanged(const PixelRect& area) {
    canvas_->update(canvasRect(area));
}

void MenuPageView::repaintNow() {
    canvas_->repaint();
}

void MenuPageView::setPointerCursor(MenuCursor cursor) {
    switch (cursor) {
        case MenuCursor::Arrow:
            canvas_->unsetCursor();
            break;
        case MenuCursor::Hand:
            canvas_->setCursor(Qt::PointingHandCursor);
            break;
        case MenuCursor::Move:
            canvas_->setCursor(Qt::SizeAllCursor);
            break;
    }
}

QImage MenuPageView::shownImage() const {
    return canvas_->grab().toImage();
}

}  // namespace lumora::app
