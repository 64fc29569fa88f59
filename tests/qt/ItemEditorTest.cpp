// The host kit's item editor as a table: rows read from the widget, changes
// followed, the operator's edits fed back through the editor.
#include <QLineEdit>
#include <QTableWidget>

#include "QtTestSupport.h"
#include "frame/HostKit.h"
#include "views/XItemCollEdit.h"

using namespace tavixTGCL2;
using ItemEditorTest = tgcltest::QtTest;

TEST_F(ItemEditorTest, RowsAreATableThatFollowsTheEditorAndFeedsEditsBack) {
    auto form = std::make_shared<Form>("frmDut");
    form->Move(0, 0, 6000, 3000);
    auto editor = form->create<XItemCollEdit>("xieDutInfo");
    editor->Move(0, 0, 6000, 3000);
    editor->Load(std::make_shared<SimpleDutInfo>(
        std::vector<std::pair<std::string, std::string>>{{"Serial number", "SN-0042"}, {"Model", "AX-7"}}));
    std::vector<std::int32_t> changes;
    editor->ItemChange.connect([&](std::int32_t i) { changes.push_back(i); });
    show(form);
    auto* table = qobject_cast<QTableWidget*>(widgetOf(*editor));
    ASSERT_NE(table, nullptr);
    auto rows = [&] {
        QStringList r;
        for (int i = 0; i < table->rowCount(); ++i) r << table->item(i, 0)->text() + "=" + table->item(i, 1)->text();
        return r;
    };
    EXPECT_EQ(rows(), QStringList({"Serial number=SN-0042", "Model=AX-7"}));
    EXPECT_TRUE(backend->saveScreenshot(*form, tgcltest::outDir() + "/item-editor.png"));

    // The operator types a value into its cell and presses Enter.
    EXPECT_FALSE(table->item(1, 0)->flags() & Qt::ItemIsEditable);  // names stay
    table->setCurrentCell(1, 1);
    table->editItem(table->item(1, 1));
    auto* line = table->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    line->selectAll();
    QTest::keyClicks(line, "AX-8");
    QTest::keyClick(line, Qt::Key_Return);
    settle();  // the view commits the edit from its queue
    EXPECT_EQ(editor->Items()[1].Value, "AX-8");
    EXPECT_EQ(changes, std::vector<std::int32_t>{1});

    // Read-only: nothing is editable, and a value forced into a cell is put back.
    editor->setReadOnly(true);
    EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    table->item(1, 1)->setText("forced");
    EXPECT_EQ(editor->Items()[1].Value, "AX-8");
    EXPECT_EQ(table->item(1, 1)->text(), "AX-8");

    editor->Load(std::make_shared<SimpleDutInfo>(std::vector<std::pair<std::string, std::string>>{{"Model", "BX-1"}}));
    EXPECT_EQ(rows(), QStringList({"Model=BX-1"}));
}
