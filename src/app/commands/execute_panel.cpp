#include "app/commands/execute_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <algorithm>

#include "app/widgets/widget_helpers.h"
#include "core/text.h"

namespace lumora::app {
namespace {

// Program lines run to 65535, the line Cancel sets to end a trace.
constexpr int kProgramLineDigits = 5;

}  // namespace

ExecutePanel::ExecutePanel(QWidget* parent) : QWidget(parent) {
    setObjectName("pExecute");
    bStart = button(this, "Start", "bStart", kStartHint);
    bStart->setFixedWidth(std::max(bStart->fontMetrics().horizontalAdvance("Start") + 22, 44));
    cbTrace = new QCheckBox("Trace", this);
    cbTrace->setObjectName("cbTrace");
    cbTrace->setToolTip("Trace (execute commands step by step)");
    cbObject = new QComboBox(this);
    cbObject->setObjectName("cbObject");
    cbObject->setToolTip("Movie object");
    cbObject->setMinimumContentsLength(4);
    cbButton = new QComboBox(this);
    cbButton->setObjectName("cbButton");
    cbButton->setToolTip("Button");
    cbButton->setMinimumContentsLength(4);
    eProgLine = new QLineEdit(this);
    eProgLine->setObjectName("eProgLine");
    eProgLine->setToolTip("Command line");
    eProgLine->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QString("[0-9]{0,%1}").arg(kProgramLineDigits)), eProgLine));
    eProgLine->setFixedWidth(
        eProgLine->fontMetrics().horizontalAdvance(QString(kProgramLineDigits, '0')) + 10);
    showProgramLine(0);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    for (QWidget* w :
         std::initializer_list<QWidget*>{bStart, cbTrace, cbObject, cbButton, eProgLine}) {
        layout->addWidget(w);
    }
    connect(cbTrace, &QCheckBox::toggled, this, &ExecutePanel::traceToggled);
    connect(eProgLine, &QLineEdit::editingFinished, this, [this] {
        if (eProgLine->isModified()) emit programLineTyped(typedProgramLine());
        eProgLine->setModified(false);
    });
}

void ExecutePanel::showProgramLine(int line) {
    eProgLine->setText(QString::fromStdString(zeroPad(line, 4)));
}

int ExecutePanel::typedProgramLine() const {
    bool ok = false;
    const int line = eProgLine->text().toInt(&ok);
    return ok ? line : 0;
}

void ExecutePanel::setTraceShown(bool shown) {
    QFont font = bStart->font();
    font.setBold(shown);
    bStart->setFont(font);
}

// While tracing, "Start" is pressed over and over: its hint would only be
// in the way.
void ExecutePanel::traceToggled(bool on) {
    bStart->setToolTip(on ? QString() : QString(kStartHint));
}

}  // namespace lumora::app
