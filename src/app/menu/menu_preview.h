// The object previews of the Menu tab's pages: a picture the renderer made
// (an object over the "Object background" colour, the palette view, or the
// effect preview's whole page) in a scroll area whose empty part takes the
// object background colour.  Over a palette view the pointer position is
// reported, so the swatch under it can be read out.
#pragma once

#include <QColor>
#include <QImage>
#include <QScrollArea>
#include <cstdint>

#include "menu/frame_buffer.h"
#include "menu/menu_model.h"
#include "menu/page_renderer.h"

class QLabel;

namespace lumora::app {

// A picture of the menu model as an image with its alpha channel.
QImage pictureImage(const Picture& picture);

class ObjectPreview : public QScrollArea {
    Q_OBJECT
public:
    ObjectPreview(const QString& name, QWidget* parent = nullptr);

    // The colour of the area around the picture.
    void setBackground(const QColor& colour);
    QColor background() const { return background_; }

    // Shows what ShowButtonPic made: the object, or the palette view of
    // `palette`; anything else (no object, an object without pixels)
    // shrinks the preview to one pixel.
    void showButtonPicture(const ButtonPicture& picture, std::uint32_t palette);
    // Shows a picture of the renderer as it is (the effect preview).
    void showFrame(const FrameBuffer& frame);
    void clearPicture();
    bool showsPicture() const { return !shown_.isNull(); }
    // Whether the palette view is shown, and of which palette.
    bool showsPalette() const { return paletteView_; }
    std::uint32_t palette() const { return palette_; }
    // What the preview shows; null when it shows nothing.
    QImage shownImage() const { return shown_; }
    // Scrolls so that `area` of the picture is in view.
    void showArea(const QRect& area);
    // The label the picture is shown in.
    QWidget* pictureWidget() const;

signals:
    // The pointer is at (x, y) of the palette view of `palette`.
    void paletteHovered(std::uint32_t palette, int x, int y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void paintShown();

    QLabel* label_;
    QColor background_{192, 192, 192};
    QImage shown_;
    bool paletteView_ = false;
    std::uint32_t palette_ = 0;
    // Where to scroll once the preview is shown.
    QRect pendingArea_;
};

}  // namespace lumora::app
