#include "app/widgets/ext_data_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "core/extension_data.h"
#include "core/file_io.h"
#include "support/test_support.h"

using namespace lumora::app;
using lumora::TExtensionData;
using lumora::TExtensionDataEntry;

Q_DECLARE_METATYPE(TExtensionData)
Q_DECLARE_METATYPE(TExtensionDataEntry)

namespace {

// Two entries: "PIP metadata" with 8 bytes "ABCDEFGH", and an unnamed pair
// (2, 7) whose 3 bytes hold a control character and two Latin-1 letters.
TExtensionData twoEntries() {
    TExtensionData block;
    block.length = 0x2B;
    block.dataBlockStartAddress = 0x24;
    block.entries = {{1, 1, 0x24, 8}, {2, 7, 0x2C, 3}};
    block.dataBlock = lumora::test::hexBytes("4142434445464748 01E9FC");
    return block;
}

TExtensionData withEntries(std::uint32_t length, std::size_t count) {
    TExtensionData block;
    block.length = length;
    block.entries.resize(count);
    return block;
}

QString qPath(const lumora::test::TempDir& dir, const char* name) {
    return QString::fromStdString(dir / name);
}

// Types into the grid cell through its real editor and ends with Enter.
void typeIntoCell(StringGrid& grid, int col, int row, const QString& text) {
    grid.setGridCursor(col, row);
    grid.edit(grid.currentIndex());
    auto* editor = grid.cellEditor();
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

// The foreground colour at `position` of the data view's document.
QColor colourAt(const QTextEdit& view, int position) {
    QTextCursor cursor(view.document());
    cursor.setPosition(position + 1);  // the format of the character before
    return cursor.charFormat().foreground().color();
}

}  // namespace

class ExtDatDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }

    void titleAndSummary_data() {
        QTest::addColumn<TExtensionData>("block");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<bool>("buttonsEnabled");
        QTest::addColumn<bool>("gridEnabled");
        QTest::newRow("empty") << TExtensionData{} << "None" << false << false;
        QTest::newRow("length but no entry")
            << withEntries(52, 0) << "56 bytes, 0 entry" << true << false;
        QTest::newRow("one entry") << withEntries(52, 1) << "56 bytes, 1 entry" << true << true;
        QTest::newRow("three entries")
            << withEntries(52, 3) << "56 bytes, 3 entries" << true << true;
    }

    void titleAndSummary() {
        QFETCH(TExtensionData, block);
        QFETCH(QString, summary);
        QFETCH(bool, buttonsEnabled);
        QFETCH(bool, gridEnabled);
        TfExtDat dialog("00001.mpls", block, QString());
        QCOMPARE(dialog.windowTitle(), QString("00001.mpls ExtensionData edit"));
        QCOMPARE(dialog.summaryLabel()->text(), summary);
        QCOMPARE(dialog.saveButton()->isEnabled(), buttonsEnabled);
        QCOMPARE(dialog.deleteButton()->isEnabled(), buttonsEnabled);
        QVERIFY(dialog.loadButton()->isEnabled());
        QCOMPARE(dialog.entriesGrid()->isEnabled(), gridEnabled);
        QCOMPARE(dialog.entriesGrid()->dataRows(), std::max<int>(1, block.entries.size()));
    }

    void entriesGridShowsEveryEntry() {
        TfExtDat dialog("index.bdmv", twoEntries(), QString());
        const StringGrid& grid = *dialog.entriesGrid();
        const QStringList headers{"ID1", "ID2", "start", "length", "data in entry"};
        for (int col = 1; col <= 5; ++col)
            QCOMPARE(grid.cell(col, 0), headers[col - 1]);
        const QStringList first{"000", "0001", "0001", "00000024", "00000008", "PIP metadata"};
        const QStringList second{"001", "0002", "0007", "0000002C", "00000003", ""};
        for (int col = 0; col <= 5; ++col) {
            QCOMPARE(grid.cell(col, 1), first[col]);
            QCOMPARE(grid.cell(col, 2), second[col]);
        }
    }

    void typedCellsChangeOnlyId1_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<TExtensionDataEntry>("entry");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("name");
        const TExtensionDataEntry held{1, 1, 0x24, 8};
        QTest::newRow("hex id") << int(TfExtDat::kId1) << "1f"
                                << TExtensionDataEntry{31, 1, 0x24, 8} << "001F"
                                << "";
        QTest::newRow("id naming a known pair")
            << int(TfExtDat::kId1) << "2" << TExtensionDataEntry{2, 1, 0x24, 8} << "0002"
            << "STN table SS";
        QTest::newRow("not hexadecimal")
            << int(TfExtDat::kId1) << "xyz" << TExtensionDataEntry{0, 1, 0x24, 8} << "0000"
            << "";
        QTest::newRow("ID2 kept") << int(TfExtDat::kId2) << "9" << held << "0001"
                                  << "PIP metadata";
        QTest::newRow("start kept") << int(TfExtDat::kStart) << "0" << held << "00000024"
                                    << "PIP metadata";
        QTest::newRow("length kept") << int(TfExtDat::kLength) << "FF" << held << "00000008"
                                     << "PIP metadata";
        QTest::newRow("name kept") << int(TfExtDat::kName) << "mine" << held << "PIP metadata"
                                   << "PIP metadata";
    }

    void typedCellsChangeOnlyId1() {
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(TExtensionDataEntry, entry);
        QFETCH(QString, shown);
        QFETCH(QString, name);
        TfExtDat dialog("index.bdmv", twoEntries(), QString());
        typeIntoCell(*dialog.entriesGrid(), col, 1, typed);
        QCOMPARE(dialog.block().entries[0], entry);
        QCOMPARE(dialog.block().entries[1], twoEntries().entries[1]);
        QCOMPARE(dialog.entriesGrid()->cell(col, 1), shown);
        QCOMPARE(dialog.entriesGrid()->cell(TfExtDat::kName, 1), name);
    }

    void deleteEmptiesTheBlock() {
        TfExtDat dialog("index.bdmv", twoEntries(), QString());
        QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
        QCOMPARE(dialog.block(), TExtensionData{});
        QCOMPARE(dialog.summaryLabel()->text(), QString("None"));
        QVERIFY(!dialog.saveButton()->isEnabled());
        QVERIFY(!dialog.deleteButton()->isEnabled());
        QVERIFY(!dialog.entriesGrid()->isEnabled());
        QVERIFY(dialog.dataView()->toPlainText().isEmpty());
    }

    // Saved without an extension typed, the file gets ".exd" and so shows up
    // in the Load dialog's filter.
    void saveThenLoadRoundTrips() {
        lumora::test::TempDir dir;
        const QString output = QString::fromStdString(dir.path().string());
        TExtensionData saved = twoEntries();
        saved.entries[0].id1 = 0x1234;

        TfExtDat saver("index.bdmv", saved, output);
        QStringList asked;
        saver.chooseSaveFile = [&](const QString& title, const QString& folder,
                                   const QString& filter) {
            asked << title << folder << filter;
            return qPath(dir, "block");
        };
        QTest::mouseClick(saver.saveButton(), Qt::LeftButton);
        QCOMPARE(asked, (QStringList{"Save ExtensionData()", output, "ExtensionData (*.exd)"}));
        QCOMPARE(lumora::test::readFile(dir / "block.exd"), lumora::extensionDataFileBytes(saved));

        TfExtDat loader("index.bdmv", TExtensionData{}, output);
        asked.clear();
        loader.chooseLoadFile = [&](const QString& title, const QString& folder,
                                    const QString& filter) {
            asked << title << folder << filter;
            return qPath(dir, "block.exd");
        };
        QTest::mouseClick(loader.loadButton(), Qt::LeftButton);
        QCOMPARE(asked, (QStringList{"Load ExtensionData()", output, "ExtensionData (*.exd)"}));
        QCOMPARE(loader.block(), saved);
        QCOMPARE(loader.summaryLabel()->text(), QString("47 bytes, 2 entries"));
        QCOMPARE(loader.entriesGrid()->cell(TfExtDat::kId1, 1), QString("1234"));
        QVERIFY(loader.saveButton()->isEnabled());
    }

    void defaultExtension_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("none typed") << "/out/block"
                                    << "/out/block.exd";
        QTest::newRow("exd typed") << "/out/block.exd"
                                   << "/out/block.exd";
        QTest::newRow("another one typed") << "/out/block.bin"
                                           << "/out/block.bin";
        QTest::newRow("dotted folder") << "/out.d/block"
                                       << "/out.d/block.exd";
        QTest::newRow("cancelled") << ""
                                   << "";
    }

    void defaultExtension() {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        QCOMPARE(withExtDatExtension(chosen), saved);
    }

    void failedLoadKeepsTheBlock_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");  // a part of the error shown; "" = none
        QTest::newRow("missing file") << "absent.exd"
                                      << "absent.exd";
        QTest::newRow("entry table cut short") << "cut.exd"
                                               << "run past the end of the file";
        QTest::newRow("chooser cancelled") << ""
                                           << "";
    }

    void failedLoadKeepsTheBlock() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        lumora::test::TempDir dir;
        lumora::test::writeFile(dir / "cut.exd",
                                lumora::test::hexBytes("00000020 00000018 000000 03 0001"));
        TfExtDat dialog("index.bdmv", twoEntries(), QString());
        QStringList errors;
        dialog.showError = [&errors](const QString& text) { errors << text; };
        dialog.chooseLoadFile = [&](const QString&, const QString&, const QString&) {
            return file.isEmpty() ? QString() : QString::fromStdString(dir / file.toStdString());
        };
        QTest::mouseClick(dialog.loadButton(), Qt::LeftButton);
        QCOMPARE(dialog.block(), twoEntries());
        QCOMPARE(dialog.summaryLabel()->text(), QString("47 bytes, 2 entries"));
        if (message.isEmpty()) {
            QVERIFY(errors.isEmpty());
        } else {
            QCOMPARE(errors.size(), 1);
            QVERIFY2(errors[0].contains(message), qPrintable(errors[0]));
        }
    }

    void failedSaveIsShown() {
        lumora::test::TempDir dir;
        TfExtDat dialog("index.bdmv", twoEntries(), QString());
        QStringList errors;
        dialog.showError = [&errors](const QString& text) { errors << text; };
        dialog.chooseSaveFile = [&](const QString&, const QString&, const QString&) {
            return qPath(dir, "no such folder/block.exd");
        };
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains("block.exd"), qPrintable(errors[0]));
    }

    void okReturnsTheEditedCopyAndCancelLeavesTheCaller() {
        const TExtensionData callers = twoEntries();
        {
            TfExtDat dialog("index.bdmv", callers, QString());
            typeIntoCell(*dialog.entriesGrid(), TfExtDat::kId1, 2, "3");
            QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
            dialog.reject();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QCOMPARE(callers, twoEntries());

        TfExtDat dialog("index.bdmv", callers, QString());
        typeIntoCell(*dialog.entriesGrid(), TfExtDat::kId1, 2, "3");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.block().entries[1].id1, std::uint16_t{3});
        QCOMPARE(callers, twoEntries());
    }

    // Address blue, characters red, byte values in the default colour; the
    // selected row decides which entry is shown.
    void hexDumpColours() {
        TfExtDat dialog("index.bdmv", twoEntries(), QString());
        const QTextEdit& view = *dialog.dataView();
        QCOMPARE(view.document()->blockCount(), 1);
        QString text = view.toPlainText();
        QVERIFY(text.startsWith(" 0024 41 42"));
        QCOMPARE(colourAt(view, 1), QColor(Qt::blue));
        QCOMPARE(colourAt(view, 4), QColor(Qt::blue));
        QVERIFY(colourAt(view, 6) != QColor(Qt::blue) && colourAt(view, 6) != QColor(Qt::red));
        const int chars = static_cast<int>(text.indexOf("ABCDEFGH"));
        QVERIFY(chars > 0);
        QVERIFY(colourAt(view, chars - 1) != QColor(Qt::red));
        for (int i = 0; i < 8; ++i)
            QCOMPARE(colourAt(view, chars + i), QColor(Qt::red));

        // Latin-1 letters are one character each in the view.
        dialog.entriesGrid()->setGridCursor(TfExtDat::kId2, 2);
        text = view.toPlainText();
        QVERIFY(text.startsWith(" 002C 01 E9 FC "));
        QVERIFY(text.endsWith(QString::fromUtf8(" .éü")));
        const int last = static_cast<int>(text.size()) - 3;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(colourAt(view, last + i), QColor(Qt::red));
        QVERIFY(colourAt(view, last - 1) != QColor(Qt::red));
        QVERIFY(view.isReadOnly());
        QVERIFY(view.font().fixedPitch() || QFontInfo(view.font()).fixedPitch());
    }
};

QTEST_MAIN(ExtDatDialogTest)
#include "ext_data_dialog_test.moc"
