// The "S&tatus" tab: the message log and its "Clear" button.
#pragma once

#include <QWidget>

class QPushButton;

namespace lumora::app {

class LogView;

class StatusTab : public QWidget {
    Q_OBJECT
public:
    explicit StatusTab(QWidget* parent = nullptr);

    LogView* reMessage;
    QPushButton* bClear;
};

}  // namespace lumora::app
