// The "Page view" of the Menu tab: the page image the renderer draws.  In
// the normal view the page shows at the chosen zoom over the menu background
// colour: fitted into the viewing area (the whole page, 16:9 kept, centred,
// re-fitted when the area is resized; the first showing), or at half or its
// own 1920 x 1080 pixels from the top-left corner with scroll bars.  In
// full-screen view it is fitted the same way with black around it.  Pointer use and key presses on
// the page are passed on in page coordinates; the view itself knows nothing of menus.
#pragma once

#include <QColor>
#include <QImage>
#include <QScrollArea>

#include "menu/frame_buffer.h"
#include "menu/page_renderer.h"

namespace lumora::app {

// The pixels of a frame buffer as an image, without a copy: valid while the
// buffer keeps its size and lives.
QImage frameImage(const FrameBuffer& frame);

class MenuPageCanvas;

class MenuPageView : public QScrollArea {
    Q_OBJECT
public:
    explicit MenuPageView(QWidget* parent = nullptr);

    // What the view shows (the renderer's page image); null shows the area
    // colour alone.
    void setFrame(const FrameBuffer* frame);
    void setFullScreen(bool on);
    bool fullScreen() const { return fullScreen_; }
    enum class Zoom { Fit = 0, Half = 1, Actual = 2 };
    void setZoom(Zoom zoom);
    Zoom zoom() const { return zoom_; }
    // Screen pixels per page pixel as the page is shown now.
    double shownScale() const;
    // The colour of the area around the page in the normal view (the menu
    // background colour).
    void setAreaColour(const QColor& colour);
    QColor areaColour() const { return areaColour_; }

    // The page image changed inside `area` (page coordinates).
    void pageChanged(const PixelRect& area);
    // Paints at once: a blocking effect or animation is about to wait.
    void repaintNow();
    void setPointerCursor(MenuCursor cursor);

    // Where the page lies on the canvas.
    QRect shownRect() const;
    // A canvas point in page coordinates.
    QPoint toPage(const QPoint& point) const;
    // The page at the size and place it is shown (tests, screenshots).
    QImage shownImage() const;
    QWidget* canvas() const;

signals:
    // Page coordinates; the modifiers held with the pointer.
    void pointerPressed(Qt::MouseButton button, int x, int y);
    void pointerMoved(int x, int y, Qt::KeyboardModifiers modifiers);
    void pointerReleased(Qt::MouseButton button);
    void pointerLeft();
    // A key pressed while the page holds the focus.
    void keyPressed(int key);
    // The page is shown at another scale (zoom, full screen, a fitted view
    // resized).
    void scaleChanged(double scale);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class MenuPageCanvas;
    void applyMode();
    QRect canvasRect(const PixelRect& area) const;
    // The page fills the area (fitted), rather than a canvas of its own size.
    bool fitted() const { return fullScreen_ || zoom_ == Zoom::Fit; }
    bool scaled() const { return fitted() || zoom_ == Zoom::Half; }
    void tellScale();

    MenuPageCanvas* canvas_;
    const FrameBuffer* frame_ = nullptr;
    bool fullScreen_ = false;
    Zoom zoom_ = Zoom::Fit;
    double toldScale_ = 0;
    QColor areaColour_{0, 0, 128};
};

}  // namespace lumora::app
