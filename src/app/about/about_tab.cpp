#include "app/about/about_tab.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace lumora::app {
namespace {

constexpr const char* kPicturePage = "https://lumora.example.org/gallery/";

QString resourceText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

}  // namespace

AboutTab::AboutTab(QWidget* parent) : QWidget(parent) {
    setObjectName("tsAbout");
    about = new QTextBrowser(this);
    about->setObjectName("reAbout");
    about->setOpenExternalLinks(true);
    about->setFrameShape(QFrame::NoFrame);
    about->setHtml(resourceText(":/lumora/about.html"));
    about->setMaximumWidth(560);
    connect(about, &QTextBrowser::highlighted, this,
            [this](const QUrl& url) { emit linkHovered(url.toString()); });

    picture = new QLabel(this);
    picture->setObjectName("imAbout");
    picture->setPixmap(QPixmap(":/lumora/lumora.png"));
    picture->setCursor(Qt::PointingHandCursor);
    picture->setToolTip(kPicturePage);
    picture->installEventFilter(this);

    changeLog = new QPlainTextEdit(this);
    changeLog->setObjectName("meChangeLog");
    changeLog->setReadOnly(true);
    changeLog->setPlainText(resourceText(":/lumora/changelog.txt"));

    // The about text stays centred in its panel.
    auto* top = new QHBoxLayout;
    top->addStretch(1);
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addWidget(about, 3);
    top->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 3);
    layout->addWidget(changeLog, 2);
}

void AboutTab::scrollChangeLog(int wheelDelta) {
    const int lines = std::abs(wheelDelta / 60);
    QScrollBar* bar = changeLog->verticalScrollBar();
    bar->setValue(bar->value() + (wheelDelta > 0 ? -lines : lines));
}

bool AboutTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picture && event->type() == QEvent::MouseButtonRelease) {
        QDesktopServices::openUrl(QUrl(kPicturePage));
        return true;
    }
    if (watched == picture && event->type() == QEvent::Enter) emit linkHovered(kPicturePage);
    if (watched == picture && event->type() == QEvent::Leave) emit linkHovered(QString());
    return QWidget::eventFilter(watched, event);
}

}  // namespace lumora::app
