// The "S&tatus" tab: the message log with its "Clear" button, and the
// register buttons: the two register dumps into the log and the reset of the
// register file.
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
    QPushButton* bPSRs;
    QPushButton* bGPRs;
    QPushButton* bResetRegs;
};

}  // namespace lumora::app
