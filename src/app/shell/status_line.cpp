#include "app/shell/status_line.h"

#include <QFontMetrics>

namespace lumora::app {
namespace {

constexpr int kErrorMarkWidth = 55;

}  // namespace

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent) {
    setObjectName("StatusBar");
    setSizeGripEnabled(true);
    const int widths[2] = {100, 850};
    for (int i = 0; i < 2; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
        panels_[i]->setFrameShape(QFrame::StyledPanel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        panels_[i]->setTextFormat(Qt::PlainText);
        if (i == 0)
            panels_[i]->setFixedWidth(widths[i]);
        else
            panels_[i]->setMinimumWidth(widths[i] / 4);  // the detail panel takes the rest
        addWidget(panels_[i], i == 1 ? 1 : 0);
    }
}

void StatusLine::sizePanel(QLabel* label, const QString& text) {
    const QFontMetrics metrics(label->font());
    label->setFixedWidth(metrics.horizontalAdvance(text) + metrics.horizontalAdvance('m'));
}

void StatusLine::repaintNow() {
    // Long synchronous work reports here: the text must show before the next
    // step runs.
    repaint();
}

void StatusLine::showPanel(int panel, const QString& text) {
    if (errorShown_) {
        errorShown_ = false;
        QFont regular = font();
        regular.setBold(false);
        for (QLabel* label : panels_)
            label->setFont(regular);
        panels_[0]->setStyleSheet(QString());
        panels_[0]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    QLabel* label = panels_[panel == 0 ? 0 : 1];
    texts_[panel == 0 ? 0 : 1] = text;
    const QString padded = " " + text + " ";
    label->setText(padded);
    if (panel == 0) {
        sizePanel(label, padded);
    } else {
        setToolTip(text);
    }
    repaintNow();
}

void StatusLine::showError(const QString& message) {
    errorShown_ = true;
    QFont bold = font();
    bold.setBold(true);
    for (QLabel* label : panels_)
        label->setFont(bold);
    panels_[0]->setStyleSheet("QLabel { background: rgb(255,0,0); color: rgb(255,255,0); }");
    panels_[0]->setAlignment(Qt::AlignCenter);
    panels_[0]->setText("ERROR");
    panels_[0]->setFixedWidth(kErrorMarkWidth);
    panels_[1]->setText(" " + message);
    texts_[0] = "ERROR";
    texts_[1] = message;
    setToolTip(message);
    repaintNow();
}

QString StatusLine::panelText(int panel) const {
    return texts_[panel == 0 ? 0 : 1];
}

}  // namespace lumora::app
