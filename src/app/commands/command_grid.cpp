#include "app/commands/command_grid.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QPainter>
#include <QtMath>

#include <cmath>

#include "app/widgets/string_grid.h"

namespace lumora::app {
namespace {

// Where a row keeps its drawing facts: on its "Opcode" item.
constexpr int kMarkRole = Qt::UserRole + 1;
constexpr int kDestinationInUseRole = Qt::UserRole + 2;
constexpr int kSourceInUseRole = Qt::UserRole + 3;

constexpr int kToneSampleRate = 22050;
constexpr double kToneAmplitude = 0.3 * 32767;

QString toQ(const std::string& text) {
    return QString::fromStdString(text);
}

QString toQ(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor toColour(const Rgb& rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

QPalette::ColorGroup colourGroup(const QStyleOptionViewItem& option) {
    if (!(option.state & QStyle::State_Enabled)) return QPalette::Disabled;
    return (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
}

QColor inkColour(CellInk ink, const QPalette& palette) {
    switch (ink) {
        case CellInk::WindowText:
            return palette.color(QPalette::Text);
        case CellInk::HighlightText:
            return palette.color(QPalette::HighlightedText);
        case CellInk::Operand:
            return toColour(kOperandColour);
        case CellInk::UnusedOperand:
            return toColour(kUnusedOperandColour);
        case CellInk::Invalid:
            return toColour(kInvalidColour);
        case CellInk::Forbidden:
            return toColour(kForbiddenColour);
    }
    return palette.color(QPalette::Text);
}

QColor paperColour(CellPaper paper, const QPalette& palette) {
    switch (paper) {
        case CellPaper::Grid:
            return palette.color(QPalette::Base);
        case CellPaper::Highlight:
            return palette.color(QPalette::Highlight);
        case CellPaper::Invalid:
            return toColour(kInvalidColour);
        case CellPaper::Forbidden:
            return toColour(kForbiddenColour);
    }
    return palette.color(QPalette::Base);
}

CommandColumn commandColumn(int gridCol) {
    switch (gridCol) {
        case kCommandOpcodeColumn:
            return CommandColumn::Opcode;
        case kCommandDestinationColumn:
            return CommandColumn::Destination;
        case kCommandSourceColumn:
            return CommandColumn::Source;
        case kCommandLineColumn:
            return CommandColumn::CommandLine;
        default:
            return CommandColumn::Number;
    }
}

// 16-bit mono samples of a sine of the tone's frequency and length.
QByteArray toneSamples(const Tone& tone) {
    const int count = kToneSampleRate * tone.durationMs / 1000;
    QByteArray samples(count * 2, Qt::Uninitialized);
    auto* out = reinterpret_cast<qint16*>(samples.data());
    for (int i = 0; i < count; ++i) {
        const double phase = 2 * M_PI * tone.frequencyHz * i / kToneSampleRate;
        out[i] = static_cast<qint16>(std::lround(kToneAmplitude * std::sin(phase)));
    }
    return samples;
}

}  // namespace

void playTone(const Tone& tone) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(kToneSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isNull() || !device.isFormatSupported(format)) {
        QApplication::beep();
        return;
    }
    auto* buffer = new QBuffer;
    buffer->setData(toneSamples(tone));
    buffer->open(QIODevice::ReadOnly);
    auto* sink = new QAudioSink(device, format);
    // The tone plays on while the program goes on; the sink and its buffer
    // go once it has played out (or failed).
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink, buffer](QAudio::State state) {
        if (state == QAudio::IdleState) {
            sink->stop();
        } else if (state == QAudio::StoppedState) {
            sink->deleteLater();
            buffer->deleteLater();
        }
    });
    sink->start(buffer);
}

QStringList commandGridHeaders() {
    return {"No.", "Opcode", "Destinat.", "Source", "Command line"};
}

void showCommandRow(StringGrid& grid, const CommandRow& row) {
    const int gridRow = std::stoi(row.number) + 1;
    const auto cells = row.cells();
    for (int col = 0; col < static_cast<int>(cells.size()); ++col)
        grid.setCell(col, gridRow, toQ(cells[static_cast<std::size_t>(col)]));
    QTableWidgetItem* facts = grid.item(gridRow - 1, kCommandOpcodeColumn - 1);
    if (facts == nullptr) return;
    facts->setData(kMarkRole, static_cast<int>(row.mark));
    facts->setData(kDestinationInUseRole, row.destinationInUse);
    facts->setData(kSourceInUseRole, row.sourceInUse);
}

CommandRow storedCommandRow(const StringGrid& grid, int gridRow) {
    CommandRow row;
    row.number = grid.cell(kCommandNumberColumn, gridRow).toStdString();
    row.opcode = grid.cell(kCommandOpcodeColumn, gridRow).toStdString();
    row.destination = grid.cell(kCommandDestinationColumn, gridRow).toStdString();
    row.source = grid.cell(kCommandSourceColumn, gridRow).toStdString();
    row.commandLine = grid.cell(kCommandLineColumn, gridRow).toStdString();
    const QTableWidgetItem* facts = grid.item(gridRow - 1, kCommandOpcodeColumn - 1);
    if (facts == nullptr) return row;
    row.mark = static_cast<CommandMark>(facts->data(kMarkRole).toInt());
    row.destinationInUse = facts->data(kDestinationInUseRole).toBool();
    row.sourceInUse = facts->data(kSourceInUseRole).toBool();
    row.invalidTone = row.mark == CommandMark::Invalid;
    return row;
}

CellDrawing commandCellDrawing(const StringGrid& grid, int gridCol, int gridRow, bool selected,
                               const QPalette& palette) {
    const CommandRow row = storedCommandRow(grid, gridRow);
    const CellStyle style = commandCellStyle(row, commandColumn(gridCol), selected);
    const std::string cell = grid.cell(gridCol, gridRow).toStdString();
    const CellParts parts = splitCommandCell(cell);
    CellDrawing drawing;
    drawing.paper = paperColour(style.paper, palette);
    drawing.ink = inkColour(style.ink, palette);
    drawing.bold = style.bold;
    drawing.plain = toQ(parts.plain);
    if (parts.hasComment) drawing.comment = toQ(parts.comment);
    drawing.commentInk = selected ? drawing.ink : toColour(kCommentColour);
    return drawing;
}

// --- CommandCellDelegate -----------------------------------------------------

CommandCellDelegate::CommandCellDelegate(StringGrid* grid, QAbstractItemDelegate* editing)
    : QStyledItemDelegate(grid), grid_(grid), editing_(editing) {
    // The view listens to this delegate; the editing delegate speaks for it.
    connect(editing_, &QAbstractItemDelegate::commitData, this, &QAbstractItemDelegate::commitData);
    connect(editing_, &QAbstractItemDelegate::closeEditor, this,
            &QAbstractItemDelegate::closeEditor);
}

CommandCellDelegate* CommandCellDelegate::install(StringGrid* grid) {
    auto* delegate = new CommandCellDelegate(grid, grid->itemDelegate());
    grid->setItemDelegate(delegate);
    return delegate;
}

bool CommandCellDelegate::rowSelected(int tableRow) const {
    const QItemSelectionModel* selection = grid_->selectionModel();
    if (selection == nullptr) return false;
    for (int col = 0; col < grid_->columnCount(); ++col) {
        if (selection->isSelected(grid_->model()->index(tableRow, col))) return true;
    }
    return false;
}

void CommandCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QPalette palette = option.palette;
    palette.setCurrentColorGroup(colourGroup(option));
    const CellDrawing drawing = commandCellDrawing(*grid_, index.column() + 1, index.row() + 1,
                                                   rowSelected(index.row()), palette);
    painter->save();
    painter->fillRect(option.rect, drawing.paper);
    QFont font = option.font;
    font.setBold(drawing.bold);
    const int margin =
        grid_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid_) + 1;
    QRect area = option.rect.adjusted(margin, 0, -margin, 0);
    const QFontMetrics metrics(font);
    painter->setFont(font);
    painter->setPen(drawing.ink);
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                      metrics.elidedText(drawing.plain, Qt::ElideRight, area.width()));
    if (!drawing.comment.isEmpty()) {
        // The comment starts over the character before the ";", which the
        // plain part drew already.
        const QString before = drawing.plain.left(std::max<qsizetype>(drawing.plain.size() - 1, 0));
        area.setLeft(area.left() + metrics.horizontalAdvance(before));
        QFont italic = font;
        italic.setItalic(true);
        painter->setFont(italic);
        painter->setPen(drawing.commentInk);
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(italic).elidedText(drawing.comment, Qt::ElideRight,
                                                          std::max(area.width(), 0)));
    }
    painter->restore();
}

QWidget* CommandCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    return editing_->createEditor(parent, option, index);
}

void CommandCellDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    editing_->destroyEditor(editor, index);
}

void CommandCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    editing_->setEditorData(editor, index);
}

void CommandCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                       const QModelIndex& index) const {
    editing_->setModelData(editor, model, index);
}

void CommandCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                               const QModelIndex& index) const {
    editing_->updateEditorGeometry(editor, option, index);
}

// The view installs the delegate it knows on each editor: the editing
// delegate's key handling (Enter ends the edit) must still see the keys.
bool CommandCellDelegate::eventFilter(QObject* watched, QEvent* event) {
    return static_cast<QObject*>(editing_)->eventFilter(watched, event);
}

}  // namespace lumora::app
