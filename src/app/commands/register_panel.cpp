#include "app/commands/register_panel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace lumora::app {
namespace {

QString toQ(const std::string& text) {
    return QString::fromStdString(text);
}

// Just as wide as the text it shows (`shown`: the widest text of the field)
// and the frame: the shared row holds both registers beside the execute and
// navigation panels at the minimum window width.
QLineEdit* registerField(QWidget* parent, const QString& name, const QString& hint,
                         const QString& pattern, const QString& shown) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setToolTip(hint);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), field));
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(shown) + 9);
    return field;
}

bool isEnter(const QEvent& event) {
    if (event.type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent&>(event).key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

RegisterPanel::RegisterPanel(Registers& registers, QWidget* parent)
    : QWidget(parent), registers_(registers) {
    setObjectName("pRegisters");
    // Number fields take a digit more than the file has, so a number beyond
    // it can be typed and is turned back to 0; they are as wide as the
    // numbers they show.
    iePSRnum = registerField(this, "iePSRnum", "PSR number", "[0-9]{0,4}", "000");
    hePSRval = registerField(this, "hePSRval", "PSR value", "[0-9A-Fa-f]{0,8}", "DDDDDDDD");
    ieGPRnum = registerField(this, "ieGPRnum", "GPR number", "[0-9]{0,5}", "0000");
    heGPRval = registerField(this, "heGPRval", "GPR value", "[0-9A-Fa-f]{0,8}", "DDDDDDDD");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* psrLabel = new QLabel("PSR", this);
    psrLabel->setBuddy(iePSRnum);
    auto* gprLabel = new QLabel("GPR", this);
    gprLabel->setBuddy(ieGPRnum);
    layout->addWidget(psrLabel);
    layout->addWidget(iePSRnum);
    layout->addWidget(hePSRval);
    layout->addSpacing(3);
    layout->addWidget(gprLabel);
    layout->addWidget(ieGPRnum);
    layout->addWidget(heGPRval);

    connect(iePSRnum, &QLineEdit::textEdited, this, &RegisterPanel::psrNumberTyped);
    connect(ieGPRnum, &QLineEdit::textEdited, this, &RegisterPanel::gprNumberTyped);
    connect(iePSRnum, &QLineEdit::editingFinished, this, &RegisterPanel::psrNumberLeft);
    connect(ieGPRnum, &QLineEdit::editingFinished, this, &RegisterPanel::gprNumberLeft);
    connect(hePSRval, &QLineEdit::editingFinished, this, &RegisterPanel::psrValueLeft);
    connect(heGPRval, &QLineEdit::editingFinished, this, &RegisterPanel::gprValueLeft);
    for (QLineEdit* field : {iePSRnum, hePSRval, ieGPRnum, heGPRval})
        field->installEventFilter(this);
    showPsr(0);
    showGpr(0);
}

void RegisterPanel::showPsr(std::uint32_t number) {
    psrNumber_ = number & kPsrNumberMask;
    iePSRnum->setText(toQ(psrNumberText(psrNumber_)));
    hePSRval->setText(toQ(registerValueText(registers_.psr(psrNumber_))));
}

void RegisterPanel::showGpr(std::uint32_t number) {
    gprNumber_ = number & kGprNumberMask;
    ieGPRnum->setText(toQ(gprNumberText(gprNumber_)));
    heGPRval->setText(toQ(registerValueText(registers_.gpr(gprNumber_))));
}

void RegisterPanel::refresh() {
    hePSRval->setText(toQ(registerValueText(registers_.psr(psrNumber_))));
    heGPRval->setText(toQ(registerValueText(registers_.gpr(gprNumber_))));
}

// While a number is typed its register's value shows at once.
void RegisterPanel::psrNumberTyped() {
    psrNumber_ = psrNumberFromText(iePSRnum->text().toStdString());
    hePSRval->setText(toQ(registerValueText(registers_.psr(psrNumber_))));
}

void RegisterPanel::gprNumberTyped() {
    gprNumber_ = gprNumberFromText(ieGPRnum->text().toStdString());
    heGPRval->setText(toQ(registerValueText(registers_.gpr(gprNumber_))));
}

void RegisterPanel::psrNumberLeft() {
    showPsr(psrNumberFromText(iePSRnum->text().toStdString()));
}

void RegisterPanel::gprNumberLeft() {
    showGpr(gprNumberFromText(ieGPRnum->text().toStdString()));
}

void RegisterPanel::psrValueLeft() {
    if (hePSRval->isModified())
        registers_.setPsr(psrNumber_, registerValueFromText(hePSRval->text().toStdString()));
    hePSRval->setModified(false);
    refresh();
}

void RegisterPanel::gprValueLeft() {
    if (heGPRval->isModified())
        registers_.setGpr(gprNumber_, registerValueFromText(heGPRval->text().toStdString()));
    heGPRval->setModified(false);
    refresh();
}

bool RegisterPanel::eventFilter(QObject* watched, QEvent* event) {
    // While a number is edited it shows without its leading zeros.
    if (event->type() == QEvent::FocusIn && (watched == iePSRnum || watched == ieGPRnum)) {
        const bool psr = watched == iePSRnum;
        auto* field = static_cast<QLineEdit*>(watched);
        field->setText(QString::number(psr ? psrNumber_ : gprNumber_));
        field->selectAll();
    }
    // Leaving a field formats it (and writes a typed value) even when
    // nothing was typed, which editingFinished would not report.
    if (event->type() == QEvent::FocusOut) {
        if (watched == iePSRnum) psrNumberLeft();
        if (watched == ieGPRnum) gprNumberLeft();
        if (watched == hePSRval) psrValueLeft();
        if (watched == heGPRval) gprValueLeft();
    }
    // Enter moves between a number and its value; the focus change takes
    // what was typed.
    if (isEnter(*event)) {
        const struct {
            QLineEdit* from;
            QLineEdit* to;
        } moves[] = {
            {iePSRnum, hePSRval}, {hePSRval, iePSRnum}, {ieGPRnum, heGPRval}, {heGPRval, ieGPRnum}};
        for (const auto& move : moves) {
            if (watched != move.from) continue;
            emit move.from->editingFinished();
            move.to->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lumora::app
