#include "app/commands/command_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "core/text.h"

namespace lumora::app {
namespace {

QString toQ(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList toQ(const std::vector<std::string_view>& names) {
    QStringList out;
    for (const std::string_view name : names)
        out << toQ(name);
    return out;
}

QComboBox* list(QWidget* parent, const QString& name, const QString& hint) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setToolTip(hint);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

QComboBox* typeList(QWidget* parent, const QString& name, const QString& hint) {
    QComboBox* box = list(parent, name, hint);
    // In the order of OperandType.
    box->addItems({"GPR", "PSR", "Imm"});
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

QLineEdit* field(QWidget* parent, const QString& name, const QString& hint, const QString& pattern,
                 int characters) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
    const QFontMetrics metrics(edit->font());
    edit->setFixedWidth(metrics.horizontalAdvance(QString(characters, QLatin1Char('D'))) + 10);
    return edit;
}

// A value field holds a 32-bit number; more digits than that are cut to it.
std::uint32_t typedValue(const QString& text) {
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    return ok ? static_cast<std::uint32_t>(std::min<qulonglong>(value, 0xFFFFFFFFu)) : 0;
}

}  // namespace

CommandEditor::CommandEditor(QWidget* parent) : QWidget(parent) {
    setObjectName("pCommandEditor");
    buildControls();
    connectControls();
    showCommand(std::nullopt);
}

void CommandEditor::buildControls() {
    cbCmdGroup = list(this, "cbCmdGroup", "Command Group");
    cbCmdGroup->addItems({"Branch", "Compare", "Set"});
    cbCmdGroup->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cbCmdSubGroup = list(this, "cbCmdSubGroup", "Command Sub-Group");
    cbCmdSubGroup->setMinimumContentsLength(8);
    cbCmdOption = list(this, "cbCmdOption", "Command Option");
    cbCmdOption->setMinimumContentsLength(12);
    cbCmdDest = new QCheckBox("Dst", this);
    cbCmdDest->setObjectName("cbCmdDest");
    cbCmdDest->setToolTip("The command has a destination operand");
    cbCmdSrc = new QCheckBox("Src", this);
    cbCmdSrc->setObjectName("cbCmdSrc");
    cbCmdSrc->setToolTip("The command has a source operand");
    cbDestType = typeList(this, "cbDestType", "Destination Type");
    cbSrcType = typeList(this, "cbSrcType", "Source Type");
    ieDest = field(this, "ieDest", "Destination", "[0-9]{0,10}", 9);
    ieSrc = field(this, "ieSrc", "Source", "[0-9]{0,10}", 9);
    lHex = new QLabel("Hex", this);
    lHex->setObjectName("lHex");
    heOpcode = field(this, "heOpcode", "Opcode", "[0-9A-Fa-f]{0,8}", 8);
    heDest = field(this, "heDest", "Destination operand", "[0-9A-Fa-f]{0,8}", 8);
    heSrc = field(this, "heSrc", "Source operand", "[0-9A-Fa-f]{0,8}", 8);

    auto* names = new QHBoxLayout;
    names->setSpacing(3);
    names->addWidget(cbCmdGroup);
    names->addWidget(cbCmdSubGroup);
    names->addWidget(cbCmdOption, 1);
    auto* operands = new QHBoxLayout;
    operands->setSpacing(3);
    for (QWidget* w : std::initializer_list<QWidget*>{cbCmdDest, cbDestType, ieDest})
        operands->addWidget(w);
    operands->addSpacing(6);
    for (QWidget* w : std::initializer_list<QWidget*>{cbCmdSrc, cbSrcType, ieSrc})
        operands->addWidget(w);
    operands->addStretch(1);
    words_ = new QHBoxLayout;
    words_->setSpacing(3);
    for (QWidget* w : std::initializer_list<QWidget*>{lHex, heOpcode, heDest, heSrc})
        words_->addWidget(w);
    words_->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addLayout(names);
    layout->addLayout(operands);
    layout->addLayout(words_);
    for (QLineEdit* edit : {ieDest, ieSrc, heOpcode, heDest, heSrc})
        edit->installEventFilter(this);
}

void CommandEditor::addBesideWords(QWidget* widget) {
    words_->addWidget(widget);
}

void CommandEditor::connectControls() {
    // `activated`, `clicked` and `editingFinished` come from the user only:
    // showing a command never rewrites it.
    connect(cbCmdGroup, &QComboBox::activated, this, [this](int item) {
        edit([item](TCommand& c) { setCommandGroup(c, static_cast<std::uint32_t>(item)); });
    });
    connect(cbCmdSubGroup, &QComboBox::activated, this, [this](int item) {
        edit([item](TCommand& c) { setCommandSubGroup(c, static_cast<std::uint32_t>(item)); });
    });
    connect(cbCmdOption, &QComboBox::activated, this, [this](int item) {
        edit([item](TCommand& c) { setCommandOption(c, static_cast<std::uint32_t>(item)); });
    });
    connect(cbCmdDest, &QCheckBox::clicked, this, [this](bool on) {
        edit([on](TCommand& c) { setOperandBox(c, Operand::Destination, on); });
    });
    connect(cbCmdSrc, &QCheckBox::clicked, this, [this](bool on) {
        edit([on](TCommand& c) { setOperandBox(c, Operand::Source, on); });
    });
    connect(cbDestType, &QComboBox::activated, this, [this](int item) {
        edit([item](TCommand& c) {
            setOperandType(c, Operand::Destination, static_cast<OperandType>(item));
        });
    });
    connect(cbSrcType, &QComboBox::activated, this, [this](int item) {
        edit([item](TCommand& c) {
            setOperandType(c, Operand::Source, static_cast<OperandType>(item));
        });
    });
    connect(ieDest, &QLineEdit::editingFinished, this,
            [this] { valueTyped(Operand::Destination); });
    connect(ieSrc, &QLineEdit::editingFinished, this, [this] { valueTyped(Operand::Source); });
    connect(heOpcode, &QLineEdit::editingFinished, this,
            [this] { hexTyped(CommandWord::Opcode, heOpcode); });
    connect(heDest, &QLineEdit::editingFinished, this,
            [this] { hexTyped(CommandWord::Destination, heDest); });
    connect(heSrc, &QLineEdit::editingFinished, this,
            [this] { hexTyped(CommandWord::Source, heSrc); });
}

void CommandEditor::showCommand(const std::optional<TCommand>& command) {
    command_ = command;
    showing_ = true;
    if (!command) {
        for (QComboBox* box : {cbCmdGroup, cbCmdSubGroup, cbCmdOption, cbDestType, cbSrcType})
            box->setCurrentIndex(-1);
        cbCmdSubGroup->clear();
        cbCmdOption->clear();
        cbCmdDest->setChecked(false);
        cbCmdSrc->setChecked(false);
        for (QLineEdit* edit : {ieDest, ieSrc, heOpcode, heDest, heSrc})
            edit->clear();
        gridTooltip_ = toQ(kCommandsTooltip);
        setControlsEnabled(false);
        showing_ = false;
        return;
    }
    const CommandEditorState state = commandEditorState(*command);
    cbCmdGroup->setCurrentIndex(state.group);
    cbCmdSubGroup->clear();
    cbCmdSubGroup->addItems(toQ(state.subGroups));
    cbCmdSubGroup->setCurrentIndex(state.subGroup);
    cbCmdOption->clear();
    cbCmdOption->addItems(toQ(state.options));
    cbCmdOption->setCurrentIndex(state.option);
    heOpcode->setText(toQ(state.opcodeHex));
    heDest->setText(toQ(state.destinationHex));
    heSrc->setText(toQ(state.sourceHex));
    setControlsEnabled(true);
    showOperands(state);
    gridTooltip_ = toQ(state.tooltip);
    showing_ = false;
}

void CommandEditor::showOperands(const CommandEditorState& state) {
    cbCmdDest->setChecked(state.destinationEnabled);
    cbCmdSrc->setChecked(state.sourceEnabled);
    cbDestType->setCurrentIndex(static_cast<int>(state.destinationType));
    cbSrcType->setCurrentIndex(static_cast<int>(state.sourceType));
    ieDest->setText(QString::number(state.destinationValue));
    ieSrc->setText(QString::number(state.sourceValue));
    for (QWidget* w : std::initializer_list<QWidget*>{cbDestType, ieDest})
        w->setEnabled(state.destinationEnabled);
    for (QWidget* w : std::initializer_list<QWidget*>{cbSrcType, ieSrc})
        w->setEnabled(state.sourceEnabled);
}

void CommandEditor::setControlsEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{cbCmdGroup, cbCmdSubGroup, cbCmdOption,
                                                      cbCmdDest, cbCmdSrc, cbDestType, cbSrcType,
                                                      ieDest, ieSrc, lHex, heOpcode, heDest, heSrc})
        w->setEnabled(on);
}

void CommandEditor::edit(const std::function<void(TCommand&)>& change) {
    if (showing_ || !command_) return;
    TCommand command = *command_;
    change(command);
    emit commandEdited(command);
}

void CommandEditor::valueTyped(Operand operand) {
    const bool destination = operand == Operand::Destination;
    const QLineEdit* value = destination ? ieDest : ieSrc;
    const QComboBox* type = destination ? cbDestType : cbSrcType;
    if (!value->isModified()) return;
    const auto shownType = static_cast<OperandType>(std::max(type->currentIndex(), 0));
    const std::uint32_t number = typedValue(value->text());
    edit([=](TCommand& c) { setOperandValue(c, operand, shownType, number); });
}

void CommandEditor::hexTyped(CommandWord word, const QLineEdit* field) {
    if (!field->isModified()) return;
    const auto value = static_cast<std::uint32_t>(hexToNumber(field->text().toStdString()));
    edit([=](TCommand& c) { setHexWord(c, word, value); });
}

bool CommandEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Leaving the field takes the typed value first.
            emit static_cast<QLineEdit*>(watched)->editingFinished();
            emit returnToGrid();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lumora::app
