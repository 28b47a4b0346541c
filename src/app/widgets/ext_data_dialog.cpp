#include "app/widgets/ext_data_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <string>

#include "app/widgets/string_grid.h"
#include "core/file_io.h"
#include "core/text.h"

namespace lumora::app {
namespace {

const QString kLoadTitle = QStringLiteral("Load ExtensionData()");
const QString kSaveTitle = QStringLiteral("Save ExtensionData()");
const QString kFilter = QStringLiteral("ExtensionData (*.exd)");
const QString kExtension = QStringLiteral("exd");
constexpr int kDumpLineChars = 1 + 4 + 32 * 3 + 1 + 32;

QString toQ(const std::string& text) {
    return QString::fromStdString(text);
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString chooseWithFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title,
                             const QString& folder, const QString& filter) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setDefaultSuffix(kExtension);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QPushButton* hintedButton(const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption);
    button->setToolTip(hint);
    return button;
}

QTextCharFormat colouredFormat(const QColor& colour) {
    QTextCharFormat format;
    format.setForeground(colour);
    return format;
}

// A part of a UTF-8 dump line as text of the view.
QString linePart(const std::string& text, std::size_t start, std::size_t length) {
    return toQ(text.substr(start, length));
}

}  // namespace

QString withExtDatExtension(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QLatin1Char('.') + kExtension;
}

TfExtDat::TfExtDat(const QString& titlePrefix, const TExtensionData& block,
                   const QString& outputFolder, QWidget* parent)
    : QDialog(parent), block_(block), outputFolder_(outputFolder) {
    setWindowTitle(titlePrefix + QStringLiteral(" ExtensionData edit"));
    chooseLoadFile = [this](const QString& title, const QString& folder, const QString& filter) {
        return chooseWithFileDialog(this, QFileDialog::AcceptOpen, title, folder, filter);
    };
    chooseSaveFile = [this](const QString& title, const QString& folder, const QString& filter) {
        return chooseWithFileDialog(this, QFileDialog::AcceptSave, title, folder, filter);
    };
    showError = [this](const QString& message) {
        QMessageBox::critical(this, QStringLiteral("Error"), message);
    };

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildSummaryGroup());
    layout->addWidget(buildEntriesGroup(), 1);
    layout->addWidget(buildDataGroup(), 2);
    layout->addWidget(buttons);
    resize(sizeHint().width(), 560);
    refresh();
}

QGroupBox* TfExtDat::buildSummaryGroup() {
    auto* group = new QGroupBox(QStringLiteral("ExtensionData"));
    summary_ = new QLabel;
    load_ = hintedButton(QStringLiteral("Load"), kLoadTitle);
    save_ = hintedButton(QStringLiteral("Save"), kSaveTitle);
    delete_ = hintedButton(QStringLiteral("Delete"), QStringLiteral("Delete"));
    connect(load_, &QPushButton::clicked, this, &TfExtDat::loadBlock);
    connect(save_, &QPushButton::clicked, this, &TfExtDat::saveBlock);
    connect(delete_, &QPushButton::clicked, this, &TfExtDat::deleteBlock);
    // Enter answers OK, never whichever of these last had the focus.
    for (QPushButton* button : {load_, save_, delete_})
        button->setAutoDefault(false);

    auto* row = new QHBoxLayout(group);
    row->addWidget(summary_, 1);
    row->addWidget(load_);
    row->addWidget(save_);
    row->addWidget(delete_);
    return group;
}

QGroupBox* TfExtDat::buildEntriesGroup() {
    auto* group = new QGroupBox(QStringLiteral("Entries"));
    grid_ = new StringGrid;
    grid_->setObjectName(QStringLiteral("sgExtDat"));
    grid_->setHeaders({QString(), QStringLiteral("ID1"), QStringLiteral("ID2"),
                       QStringLiteral("start"), QStringLiteral("length"),
                       QStringLiteral("data in entry")});
    grid_->setGridColumnWidth(kId1, 56);
    grid_->setGridColumnWidth(kId2, 56);
    grid_->setGridColumnWidth(kStart, 90);
    grid_->setGridColumnWidth(kLength, 90);
    grid_->horizontalHeader()->setStretchLastSection(true);
    // A 16-bit id takes at most four hexadecimal digits; fewer are fine.
    grid_->setColumnEditMask(kId1, QStringLiteral(">aaaa"));
    grid_->setEditStyle(StringGrid::EditStyle::InPlaceOnly);
    grid_->setEditMode(true);
    connect(grid_, &StringGrid::cellEdited, this, &TfExtDat::applyCellEdit);
    connect(grid_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { showEntryData(row); });

    auto* layout = new QVBoxLayout(group);
    layout->addWidget(grid_);
    return group;
}

QGroupBox* TfExtDat::buildDataGroup() {
    auto* group = new QGroupBox(QStringLiteral("DataBlock"));
    dataView_ = new QTextEdit;
    dataView_->setReadOnly(true);
    dataView_->setLineWrapMode(QTextEdit::NoWrap);
    dataView_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Room for a whole dump line: address, 32 bytes and 32 characters.
    const int lineWidth = dataView_->fontMetrics().horizontalAdvance(QString(kDumpLineChars, '0'));
    dataView_->setMinimumWidth(lineWidth + 2 * dataView_->frameWidth() +
                               2 * static_cast<int>(dataView_->document()->documentMargin()) +
                               dataView_->verticalScrollBar()->sizeHint().width());
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(dataView_);
    return group;
}

void TfExtDat::refresh() {
    summary_->setText(toQ(extensionDataDialogSummary(block_)));
    save_->setEnabled(!block_.empty());
    delete_->setEnabled(!block_.empty());
    fillEntries();
}

void TfExtDat::fillEntries() {
    const int count = static_cast<int>(block_.entries.size());
    if (count == 0) {
        grid_->clearGrid();
        showEntryData(-1);
        return;
    }
    grid_->setDataRows(count);
    grid_->setEnabled(true);
    for (int row = 1; row <= count; ++row) {
        grid_->setRowNumber(row, toQ(zeroPad(row - 1, 3)));
        for (int col = kId1; col <= kName; ++col)
            showEntryCell(col, row);
    }
    grid_->setGridCursor(kId1, 1);
    showEntryData(0);
}

// What the cell of the entry in grid row `row` shows for the held block.
void TfExtDat::showEntryCell(int col, int row) {
    const TExtensionDataEntry& entry = block_.entries[static_cast<std::size_t>(row - 1)];
    QString text;
    switch (col) {
        case kId1:
            text = toQ(hexText(entry.id1, 4));
            break;
        case kId2:
            text = toQ(hexText(entry.id2, 4));
            break;
        case kStart:
            text = toQ(hexText(entry.startAddress, 8));
            break;
        case kLength:
            text = toQ(hexText(entry.length, 8));
            break;
        case kName:
            text = toQ(std::string(extensionEntryName(entry.id1, entry.id2)));
            break;
        default:
            return;
    }
    grid_->setCell(col, row, text);
}

// Only ID1 can be changed; every other cell shows the held value again.
void TfExtDat::applyCellEdit(int col, int row, const QString& text) {
    if (row < 1 || row > static_cast<int>(block_.entries.size())) return;
    if (col == kId1) {
        auto& entry = block_.entries[static_cast<std::size_t>(row - 1)];
        entry.id1 = static_cast<std::uint16_t>(hexToNumber(text.toStdString()));
        showEntryCell(kName, row);
    }
    showEntryCell(col, row);
}

void TfExtDat::showEntryData(int entry) {
    dataView_->clear();
    if (entry < 0 || entry >= static_cast<int>(block_.entries.size())) return;
    const QTextCharFormat plain;
    const QTextCharFormat address = colouredFormat(Qt::blue);
    const QTextCharFormat characters = colouredFormat(Qt::red);
    QTextCursor cursor(dataView_->document());
    bool first = true;
    for (const HexDumpLine& line : extensionEntryHexDump(block_, static_cast<std::size_t>(entry))) {
        if (!first) cursor.insertBlock();
        first = false;
        const std::size_t addressEnd = line.addressStart + line.addressLength;
        const std::size_t charsEnd = line.charsStart + line.charsLength;
        cursor.insertText(linePart(line.text, 0, line.addressStart), plain);
        cursor.insertText(linePart(line.text, line.addressStart, line.addressLength), address);
        cursor.insertText(linePart(line.text, addressEnd, line.charsStart - addressEnd), plain);
        cursor.insertText(linePart(line.text, line.charsStart, line.charsLength), characters);
        cursor.insertText(linePart(line.text, charsEnd, std::string::npos), plain);
    }
    dataView_->moveCursor(QTextCursor::Start);
}

void TfExtDat::loadBlock() {
    const QString path = chooseLoadFile(kLoadTitle, outputFolder_, kFilter);
    if (path.isEmpty()) return;
    try {
        std::string error;
        if (!loadExtensionDataFile(localPath(path), block_, &error)) {
            showError(toQ(error));
            return;
        }
    } catch (const FileError& failure) {
        showError(QString::fromUtf8(failure.what()));
        return;
    }
    refresh();
}

void TfExtDat::saveBlock() {
    const QString path = withExtDatExtension(chooseSaveFile(kSaveTitle, outputFolder_, kFilter));
    if (path.isEmpty()) return;
    try {
        saveExtensionDataFile(localPath(path), block_);
    } catch (const FileError& failure) {
        showError(QString::fromUtf8(failure.what()));
    }
}

void TfExtDat::deleteBlock() {
    block_.clear();
    refresh();
}

}  // namespace lumora::app
