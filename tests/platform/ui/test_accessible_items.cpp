// The accessibility bridge shows the parts of composite custom-painted controls as children:
// the string grid's cells, read and placed as the grid stands at the moment of asking.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QWidget>

#include "platform/ui/Forms.h"
#include "platform/ui/Grids.h"

namespace {

class AccessibleItems : public ::testing::Test {
protected:
    void SetUp() override {
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 400, 300);
        grid = new TStringGrid(form);
        grid->SetParent(form);
        grid->SetBounds(10, 10, 300, 200);
        grid->SetColCount(3);
        grid->SetRowCount(4);
        grid->SetCells(0, 0, "№");
        grid->SetCells(1, 0, "Номер");
        grid->SetCells(1, 2, "+79001234567");
        grid->SetCells(2, 3, "last");
        form->Show();
    }
    void TearDown() override { delete form; }
    TForm* form = nullptr;
    TStringGrid* grid = nullptr;
};

}  // namespace

TEST_F(AccessibleItems, GridCellsAreChildrenRowByRow) {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid->GetWidget());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    ASSERT_EQ(table->childCount(), 12);
    QAccessibleInterface* header = table->child(1);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->role(), QAccessible::Cell);
    EXPECT_EQ(header->text(QAccessible::Name).toStdString(), "Номер");
    EXPECT_EQ(table->child(0)->text(QAccessible::Name).toStdString(), "№");
    EXPECT_EQ(table->child(2 * 3 + 1)->text(QAccessible::Name).toStdString(), "+79001234567");
    EXPECT_EQ(table->child(11)->text(QAccessible::Name).toStdString(), "last");
    EXPECT_EQ(table->child(12), nullptr);
    // The same part answers each time, knows its parent and its index.
    EXPECT_EQ(table->child(1), header);
    EXPECT_EQ(header->parent(), table);
    EXPECT_EQ(table->indexOfChild(header), 1);
    // Its place on the screen is the cell's, inside the grid's border.
    TRect cell = grid->CellRect(1, 0);
    QPoint origin = grid->GetWidget()->mapToGlobal(QPoint(0, 0));
    int b = grid->BorderWidth();
    EXPECT_EQ(header->rect(), QRect(origin.x() + cell.Left + b, origin.y() + cell.Top + b, cell.Width(), cell.Height()));
}

TEST_F(AccessibleItems, CellsFollowTheGridsChanges) {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid->GetWidget());
    ASSERT_NE(table, nullptr);
    QAccessibleInterface* cell = table->child(2 * 3 + 1);
    ASSERT_NE(cell, nullptr);
    grid->SetCells(1, 2, "+79007654321");
    EXPECT_EQ(cell->text(QAccessible::Name).toStdString(), "+79007654321");
    // Rows removed: the part that is gone says so rather than reading past the end.
    QAccessibleInterface* last = table->child(11);
    grid->SetRowCount(2);
    EXPECT_EQ(table->childCount(), 6);
    EXPECT_FALSE(last->isValid());
    EXPECT_TRUE(last->text(QAccessible::Name).isEmpty());
    EXPECT_EQ(table->indexOfChild(last), -1);
    // A row scrolled out of view has no place on the screen.
    grid->SetRowCount(200);
    QAccessibleInterface* far = table->child(150 * 3 + 1);
    ASSERT_NE(far, nullptr);
    EXPECT_TRUE(far->rect().isEmpty());
    EXPECT_TRUE(far->state().invisible);
}

TEST_F(AccessibleItems, GridReadsAsATableByRowAndColumn) {
    grid->SetFixedRows(1);
    grid->SetFixedCols(1);
    grid->SetSelection(TGridRect{1, 2, 2, 2});
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(grid->GetWidget());
    ASSERT_NE(acc, nullptr);
    QAccessibleTableInterface* table = acc->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->columnCount(), 3);
    EXPECT_EQ(table->columnDescription(1).toStdString(), "Номер");
    QAccessibleInterface* cell = table->cellAt(2, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name).toStdString(), "+79001234567");
    EXPECT_EQ(table->cellAt(3, 2)->text(QAccessible::Name).toStdString(), "last");
    EXPECT_EQ(table->cellAt(4, 0), nullptr);
    EXPECT_EQ(table->cellAt(0, 3), nullptr);
    // A cell knows its place and its header; the selection is the grid's.
    QAccessibleTableCellInterface* place = cell->tableCellInterface();
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(place->rowIndex(), 2);
    EXPECT_EQ(place->columnIndex(), 1);
    EXPECT_EQ(place->table(), acc);
    ASSERT_EQ(place->columnHeaderCells().size(), 1);
    EXPECT_EQ(place->columnHeaderCells().front()->text(QAccessible::Name).toStdString(), "Номер");
    EXPECT_TRUE(place->isSelected());
    EXPECT_TRUE(cell->state().selected);
    EXPECT_EQ(table->selectedCellCount(), 2);
    EXPECT_FALSE(table->cellAt(3, 1)->tableCellInterface()->isSelected());
}
