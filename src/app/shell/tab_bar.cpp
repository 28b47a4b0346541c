#include "app/shell/tab_bar.h"

#include <QPainter>
#include <QStyleOptionTab>

namespace lumora::app {
namespace {

const QColor kActiveText(0, 0, 136);
const QColor kInactiveText(102, 102, 153);
const QColor kAmber(255, 187, 0);
constexpr int kCaptionTop = 4;
constexpr int kUnderlineTop = 16;

}  // namespace

TabBar::TabBar(QWidget* parent) : QTabBar(parent) {
    setDrawBase(true);
    setExpanding(false);
}

QString TabBar::captionWithoutAccelerator(const QString& text, int* acceleratorIndex) {
    QString out;
    int accelerator = -1;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            if (text[i + 1] == '&') {
                out += '&';
                ++i;
                continue;
            }
            accelerator = static_cast<int>(out.size());
            continue;
        }
        out += text[i];
    }
    if (acceleratorIndex) *acceleratorIndex = accelerator;
    return out;
}

QSize TabBar::tabSizeHint(int index) const {
    const QFontMetrics metrics(font());
    const QString caption = captionWithoutAccelerator(tabText(index));
    return QSize(metrics.horizontalAdvance(caption) + 28, std::max(24, metrics.height() + 12));
}

void TabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    for (int i = 0; i < count(); ++i) {
        const QRect rect = tabRect(i);
        const bool active = i == currentIndex();
        QStyleOptionTab option;
        initStyleOption(&option, i);
        option.text.clear();
        style()->drawControl(QStyle::CE_TabBarTabShape, &option, &painter, this);

        int accelerator = -1;
        const QString caption = captionWithoutAccelerator(tabText(i), &accelerator);
        const int width = metrics.horizontalAdvance(caption);
        const int left = rect.left() + (rect.width() - width) / 2;
        const int top = rect.top() + kCaptionTop;
        painter.setPen(active ? kActiveText : kInactiveText);
        painter.drawText(QRect(left, top, width + 1, metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop, caption);
        if (!active && accelerator >= 0) {
            const int from = left + metrics.horizontalAdvance(caption.left(accelerator));
            const int to = from + metrics.horizontalAdvance(caption.at(accelerator));
            const int y = rect.top() + kUnderlineTop;
            painter.drawLine(from, y, to - 1, y);
        }
        if (active) painter.fillRect(rect.left() + 4, rect.top() + 2, rect.width() - 8, 3, kAmber);
    }
}

}  // namespace lumora::app
