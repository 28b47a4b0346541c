#include "app/widgets/string_grid.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

#include "app_test_support.h"

using namespace lumora::app;

namespace {

// A shown, active window holding grids, so that keyboard focus is real.
struct Host {
    QWidget window;
    QVBoxLayout* layout = new QVBoxLayout(&window);

    StringGrid* addGrid() {
        auto* grid = new StringGrid;
        grid->setHeaders({"#", "file", "IN time", "UO1"});
        grid->setDataRows(3);
        for (int row = 1; row <= 3; ++row) {
            grid->setRowNumber(row, QString::number(row).rightJustified(3, '0'));
            grid->setCell(1, row, "0000" + QString::number(row));
            grid->setCell(2, row, "00:00:00.000");
            grid->setCell(3, row, "00000000");
        }
        layout->addWidget(grid);
        return grid;
    }

    bool activate() {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

QLineEdit* openEditor(StringGrid& grid) {
    return grid.cellEditor();
}

// Selects data rows `top`..`bottom` whole, with the cursor on (col, top).
void selectRows(StringGrid& grid, int col, int top, int bottom) {
    grid.setGridCursor(col, top);
    grid.clearSelection();
    grid.setRangeSelected(
        QTableWidgetSelectionRange(top - 1, 0, bottom - 1, grid.dataColumns() - 1), true);
}

QSet<int> selectedGridColumns(const StringGrid& grid) {
    QSet<int> columns;
    for (const QModelIndex& index : grid.selectionModel()->selectedIndexes()) {
        columns.insert(index.column() + 1);
    }
    return columns;
}

QSet<int> selectedGridRows(const StringGrid& grid) {
    QSet<int> rows;
    for (const QModelIndex& index : grid.selectionModel()->selectedIndexes()) {
        rows.insert(index.row() + 1);
    }
    return rows;
}

}  // namespace

class StringGridTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }

    void gridCoordinatesMapOntoTheTable() {
        StringGrid grid;
        grid.setHeaders({"no.", "file", "type"});
        grid.setDataRows(2);
        grid.setCell(2, 1, "M2TS");
        grid.setRowNumber(2, "001");

        QCOMPARE(grid.dataColumns(), 2);
        QCOMPARE(grid.cell(0, 0), QString("no."));
        QCOMPARE(grid.cell(1, 0), QString("file"));
        QCOMPARE(grid.horizontalHeaderItem(0)->text(), QString("file"));
        QCOMPARE(grid.item(0, 1)->text(), QString("M2TS"));
        QCOMPARE(grid.verticalHeaderItem(1)->text(), QString("001"));
        // Rows without a number show none, not the table's own count.
        QCOMPARE(grid.model()->headerData(0, Qt::Vertical).toString(), QString());
        QCOMPARE(grid.cell(3, 1), QString());
        QCOMPARE(grid.cell(1, 3), QString());

        grid.insertDataRow(1);
        QCOMPARE(grid.dataRows(), 3);
        QCOMPARE(grid.cell(2, 2), QString("M2TS"));
        QCOMPARE(grid.cell(0, 1), QString());
        grid.removeDataRow(1);
        QCOMPARE(grid.cell(2, 1), QString("M2TS"));
    }

    void clearing_data() {
        QTest::addColumn<bool>("headerColumn");
        QTest::newRow("header row") << false;
        QTest::newRow("header column") << true;
    }

    void clearing() {
        QFETCH(bool, headerColumn);
        StringGrid grid;
        if (headerColumn) {
            // One column per item, the row headers in column 0.
            grid.setHeaderColumn({"BOG", "def. valid", "buttons"});
            grid.setDataColumns(3);
        } else {
            grid.setHeaders({"", "ID1", "ID2"});
            grid.setDataRows(3);
        }
        for (int col = 0; col <= grid.dataColumns(); ++col) {
            for (int row = 0; row <= grid.dataRows(); ++row) {
                if (headerColumn ? col > 0 : row > 0) grid.setCell(col, row, "x");
            }
        }

        if (headerColumn) {
            grid.clearGridColumns();
        } else {
            grid.clearGrid();
        }

        QVERIFY(!grid.isEnabled());
        QCOMPARE(headerColumn ? grid.dataColumns() : grid.dataRows(), 1);
        QCOMPARE(headerColumn ? grid.dataRows() : grid.dataColumns(), 2);
        for (int i = 0; i <= 2; ++i) {
            QCOMPARE(headerColumn ? grid.cell(1, i) : grid.cell(i, 1), QString());
        }
        // The headers stay.
        QCOMPARE(headerColumn ? grid.cell(0, 1) : grid.cell(1, 0),
                 headerColumn ? QString("def. valid") : QString("ID1"));
        QCOMPARE(headerColumn ? grid.cell(0, 2) : grid.cell(2, 0),
                 headerColumn ? QString("buttons") : QString("ID2"));
    }

    void editModeSwitchesAndSwitchesBack_data() {
        QTest::addColumn<StringGrid::EditStyle>("style");
        QTest::addColumn<bool>("narrows");
        QTest::addColumn<QSet<int>>("columnsInEditMode");
        QTest::addColumn<bool>("editorAlwaysShown");
        const QSet<int> all{1, 2, 3};
        QTest::newRow("full") << StringGrid::EditStyle::Full << false << all << true;
        QTest::newRow("full, narrowed")
            << StringGrid::EditStyle::Full << true << QSet<int>{1} << true;
        QTest::newRow("in-place only")
            << StringGrid::EditStyle::InPlaceOnly << false << all << false;
        QTest::newRow("in-place only ignores narrowing")
            << StringGrid::EditStyle::InPlaceOnly << true << all << false;
    }

    void editModeSwitchesAndSwitchesBack() {
        QFETCH(StringGrid::EditStyle, style);
        QFETCH(bool, narrows);
        QFETCH(QSet<int>, columnsInEditMode);
        QFETCH(bool, editorAlwaysShown);
        Host host;
        StringGrid* grid = host.addGrid();
        QVERIFY(host.activate());
        grid->setFocus();
        grid->setEditStyle(style);
        grid->setNarrowsToLeftColumn(narrows);

        // Read-only at the start, whole rows selected.
        QVERIFY(!grid->editMode());
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
        selectRows(*grid, 2, 2, 3);

        grid->setEditMode(true);
        QCoreApplication::processEvents();
        QVERIFY(grid->editMode());
        QVERIFY(grid->editTriggers() != QAbstractItemView::NoEditTriggers);
        QCOMPARE(grid->selectionBehavior(), style == StringGrid::EditStyle::Full
                                                ? QAbstractItemView::SelectItems
                                                : QAbstractItemView::SelectRows);
        QCOMPARE(selectedGridRows(*grid), (QSet<int>{2, 3}));
        QCOMPARE(selectedGridColumns(*grid), columnsInEditMode);
        QCOMPARE(grid->isEditing(), editorAlwaysShown);
        if (narrows && style == StringGrid::EditStyle::Full) QCOMPARE(grid->gridCol(), 1);

        grid->setEditMode(false);
        QCoreApplication::processEvents();
        QVERIFY(!grid->editMode());
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(!grid->isEditing());
        QCOMPARE(selectedGridRows(*grid), (QSet<int>{2, 3}));
        QCOMPARE(selectedGridColumns(*grid), (QSet<int>{1, 2, 3}));
    }

    void classicMasksTranslate_data() {
        QTest::addColumn<QString>("classic");
        QTest::addColumn<QString>("qt");
        QTest::newRow("time") << "00:00:00.000"
                              << "99:99:99.999";
        QTest::newRow("hex word") << ">AAAAAAAA"
                                  << ">NNNNNNNN";
        QTest::newRow("clip name") << "00000"
                                   << "99999";
        QTest::newRow("optional digits") << "99999"
                                         << "00000";
        QTest::newRow("letter upper-cased") << ">L"
                                            << ">A";
        QTest::newRow("literal word") << "M2TS"
                                      << "M2TS";
        QTest::newRow("fixed cell") << "-"
                                    << "-";
        QTest::newRow("optional letter, any char") << "lcC"
                                                   << "axX";
        QTest::newRow("case off") << "<>aa"
                                  << "!nn";
        QTest::newRow("quoted literals and Qt mask syntax") << "\\0H_#"
                                                            << "\\0\\H #";
        QTest::newRow("options dropped") << "!99/99/00;1;_"
                                         << "00/00/99";
        QTest::newRow("no mask") << ""
                                 << "";
    }

    void classicMasksTranslate() {
        QFETCH(QString, classic);
        QFETCH(QString, qt);
        QCOMPARE(qtInputMask(classic), qt);
    }

    // Typing into the real cell editor: the edit is taken only when its text
    // fills the mask; otherwise the cell keeps its text and nobody is told.
    void editIsTakenOnlyWhenTheMaskIsFilled_data() {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("taken");  // "" = dropped
        QTest::newRow("complete time") << "00:00:00.000"
                                       << "000102003"
                                       << "00:01:02.003";
        QTest::newRow("time typed with separators") << "00:00:00.000"
                                                    << "00:01:02.003"
                                                    << "00:01:02.003";
        QTest::newRow("incomplete time") << "00:00:00.000"
                                         << "0001"
                                         << "";
        QTest::newRow("hex upper-cased") << ">AAAAAAAA"
                                         << "deadbeef"
                                         << "DEADBEEF";
        QTest::newRow("hex too short") << ">AAAAAAAA"
                                       << "1f"
                                       << "";
        QTest::newRow("letter upper-cased") << ">L"
                                            << "y"
                                            << "Y";
        QTest::newRow("optional digits may stay empty") << "9999"
                                                        << "720"
                                                        << "720";
        QTest::newRow("clip name too short") << "00000"
                                             << "123"
                                             << "";
        QTest::newRow("no mask") << ""
                                 << "any text"
                                 << "any text";
    }

    void editIsTakenOnlyWhenTheMaskIsFilled() {
        QFETCH(QString, mask);
        QFETCH(QString, typed);
        QFETCH(QString, taken);
        StringGrid grid;
        grid.setHeaders({"", "value"});
        grid.setDataRows(2);
        grid.setCell(1, 2, "old");
        grid.setColumnEditMask(1, mask);
        grid.setEditStyle(StringGrid::EditStyle::InPlaceOnly);
        grid.setEditMode(true);
        QSignalSpy edited(&grid, &StringGrid::cellEdited);

        grid.setGridCursor(1, 2);
        grid.edit(grid.currentIndex());
        QLineEdit* editor = openEditor(grid);
        QVERIFY(editor != nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);

        QVERIFY(!grid.isEditing());
        if (taken.isEmpty()) {
            QCOMPARE(edited.count(), 0);
            QCOMPARE(grid.cell(1, 2), QString("old"));
        } else {
            QCOMPARE(edited.count(), 1);
            QCOMPARE(edited.at(0), (QVariantList{1, 2, taken}));
            QCOMPARE(grid.cell(1, 2), taken);
        }
    }

    void ownerMayRewriteTheEditedCell() {
        StringGrid grid;
        grid.setHeaders({"", "UO2"});
        grid.setDataRows(1);
        grid.setColumnEditMask(1, ">AAAAAAAA");
        grid.setEditMode(true);
        // The model keeps one bit only and shows what it holds.
        connect(
            &grid, &StringGrid::cellEdited, &grid, [&grid](int col, int row, const QString& text) {
                const uint held = text.toUInt(nullptr, 16) & 0x40000000u;
                grid.setCell(col, row, QString::number(held, 16).toUpper().rightJustified(8, '0'));
            });
        grid.setGridCursor(1, 1);
        grid.edit(grid.currentIndex());
        QTest::keyClicks(openEditor(grid), "FFFFFFFF");
        QTest::keyClick(openEditor(grid), Qt::Key_Return);
        QCOMPARE(grid.cell(1, 1), QString("40000000"));
    }

    void editorOpensOnlyOnEditableCellsInEditMode_data() {
        QTest::addColumn<bool>("editMode");
        QTest::addColumn<bool>("columnEditable");
        QTest::addColumn<bool>("rowEditable");
        QTest::addColumn<bool>("opens");
        QTest::newRow("edit mode") << true << true << true << true;
        QTest::newRow("read only") << false << true << true << false;
        QTest::newRow("fixed column") << true << false << true << false;
        QTest::newRow("fixed row") << true << true << false << false;
    }

    void editorOpensOnlyOnEditableCellsInEditMode() {
        QFETCH(bool, editMode);
        QFETCH(bool, columnEditable);
        QFETCH(bool, rowEditable);
        QFETCH(bool, opens);
        StringGrid grid;
        grid.setHeaders({"", "id", "value"});
        grid.setDataRows(2);
        grid.setColumnEditable(2, columnEditable);
        grid.setRowEditable(2, rowEditable);
        grid.setEditStyle(StringGrid::EditStyle::InPlaceOnly);
        grid.setEditMode(editMode);
        grid.setGridCursor(2, 2);
        QTest::keyClick(&grid, Qt::Key_F2);
        QCOMPARE(grid.isEditing(), opens);
    }

    // With the full style the editor comes back on the current cell after
    // Enter, and follows the cursor.
    void fullStyleKeepsTheEditorShown() {
        Host host;
        StringGrid* grid = host.addGrid();
        grid->setColumnEditMask(2, "00:00:00.000");
        QVERIFY(host.activate());
        grid->setFocus();
        grid->setGridCursor(2, 1);
        grid->setEditMode(true);
        QCoreApplication::processEvents();
        QLineEdit* editor = openEditor(*grid);
        QVERIFY(editor != nullptr);

        editor->selectAll();
        QTest::keyClicks(editor, "010203004");
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(grid->cell(2, 1), QString("01:02:03.004"));
        QVERIFY(grid->isEditing());

        grid->setGridCursor(2, 3);
        QCoreApplication::processEvents();
        QVERIFY(grid->isEditing());
        QCOMPARE(openEditor(*grid)->text(), QString("00:00:00.000"));
        QCOMPARE(grid->gridRow(), 3);
    }

    void keysReachTheOwner_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("signal");
        QTest::newRow("Insert") << int(Qt::Key_Insert) << int(Qt::NoModifier) << "insert";
        QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << "delete";
        QTest::newRow("Shift+Delete")
            << int(Qt::Key_Delete) << int(Qt::ShiftModifier) << "shiftDelete";
        QTest::newRow("Ctrl+Delete is none of them")
            << int(Qt::Key_Delete) << int(Qt::ControlModifier) << "";
    }

    void keysReachTheOwner() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, signal);
        StringGrid grid;
        grid.setHeaders({"", "value"});
        grid.setDataRows(1);
        QSignalSpy insert(&grid, &StringGrid::insertPressed);
        QSignalSpy del(&grid, &StringGrid::deletePressed);
        QSignalSpy shiftDelete(&grid, &StringGrid::shiftDeletePressed);
        QTest::keyClick(&grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(insert.count(), signal == "insert" ? 1 : 0);
        QCOMPARE(del.count(), signal == "delete" ? 1 : 0);
        QCOMPARE(shiftDelete.count(), signal == "shiftDelete" ? 1 : 0);
    }

    void popupChecksFollowTheFocusedGrid() {
        Host host;
        StringGrid* editing = host.addGrid();
        StringGrid* readOnly = host.addGrid();
        StringGrid* unregistered = host.addGrid();
        editing->setEditStyle(StringGrid::EditStyle::InPlaceOnly);
        editing->setEditMode(true);
        GridPopupMenu menu(&host.window);
        menu.registerGrid(editing);
        menu.registerGrid(readOnly);
        QCOMPARE(menu.actions().size(), 2);
        QCOMPARE(menu.editModeAction()->text(), QString("Edit mode"));
        QCOMPARE(menu.readOnlyAction()->text(), QString("Read only"));
        QVERIFY(menu.editModeAction()->isCheckable() && menu.readOnlyAction()->isCheckable());
        QVERIFY(host.activate());

        const auto rightPress = [](StringGrid* grid) {
            QTest::mousePress(grid->viewport(), Qt::RightButton, {}, QPoint(20, 10));
        };
        const auto checks = [&menu] {
            return std::pair(menu.editModeAction()->isChecked(),
                             menu.readOnlyAction()->isChecked());
        };

        rightPress(editing);
        QVERIFY(menu.isVisible());
        QCOMPARE(menu.focusedGrid(), editing);
        QCOMPARE(checks(), std::pair(true, false));
        menu.hide();

        rightPress(readOnly);
        QVERIFY(menu.isVisible());
        QCOMPARE(checks(), std::pair(false, true));
        menu.editModeAction()->trigger();
        menu.hide();
        QVERIFY(readOnly->editMode());
        QVERIFY(editing->editMode());

        rightPress(editing);
        menu.readOnlyAction()->trigger();
        menu.hide();
        QVERIFY(!editing->editMode());
        QVERIFY(readOnly->editMode());
        QCOMPARE(checks(), std::pair(false, true));

        rightPress(unregistered);
        QVERIFY(!menu.isVisible());
    }

    void sizes() {
        StringGrid grid;
        grid.setHeaders({"", "a", "b"});
        grid.setDataRows(2);
        grid.setGridColumnWidth(2, 123);
        grid.setGridColumnWidth(0, 40);
        grid.setDefaultRowHeight(30);
        grid.setCell(0, 0, "a corner text wider than 40 pixels");
        QCOMPARE(grid.gridColumnWidth(2), 123);
        QCOMPARE(grid.verticalHeader()->minimumWidth(), 40);
        QCOMPARE(grid.verticalHeader()->maximumWidth(), 40);
        QCOMPARE(grid.rowHeight(1), 30);
        grid.setDataRows(3);
        QCOMPARE(grid.rowHeight(2), 30);
    }
};

QTEST_MAIN(StringGridTest)
#include "string_grid_test.moc"
