// The execute panel of the shared row (`pExecute`): "Start", the trace check
// box, the movie object selector (BDMV tab), the button selector (Menu tab)
// and the "Command line" field holding the interpreter's program line.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace lumora::app {

class ExecutePanel : public QWidget {
    Q_OBJECT
public:
    explicit ExecutePanel(QWidget* parent = nullptr);

    // The program line with 4 digits.
    void showProgramLine(int line);
    // The line typed into the "Command line" field; 0 when it holds no
    // number.
    int typedProgramLine() const;
    // A trace goes on with trace mode checked: "Start" in bold.
    void setTraceShown(bool shown);

    QPushButton* bStart;
    QCheckBox* cbTrace;
    QComboBox* cbObject;
    QComboBox* cbButton;
    QLineEdit* eProgLine;

    static constexpr const char* kStartHint = "Run the commands";

signals:
    // The "Command line" field was left with a typed line.
    void programLineTyped(int line);

private:
    void traceToggled(bool on);
};

}  // namespace lumora::app
