// The windows before the title: the data set chooser and the "no data set" window that
// writes the demo set.
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "ui/data_set_dialog.hpp"
#include "ui/data_sets.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

TEST(NoDataSetWindow, WritesTheDemoSetBesideAnyFolderInTheWayAndOffersIt) {
    qt_app();
    TempDir tmp;
    const fs::path wanted = tmp / "vantrel" / "demo";
    write_bytes(wanted / "notes.txt", "the player's own");  // a folder of that name, not a data set
    NoDataSetWindow window(DemoWrite{wanted, true, false}, {tmp.path()});
    window.show();
    window.write_demo();
    EXPECT_TRUE(window.writing());
    EXPECT_FALSE(window.write_button()->isEnabled());
    window.reject();  // Escape while writing: the set is finished first
    EXPECT_TRUE(window.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!window.writing(), 120000);
    EXPECT_EQ(window.result(), QDialog::Accepted) << window.status()->text().toStdString();
    EXPECT_EQ(window.chosen(), tmp / "vantrel" / "demo-2");
    EXPECT_TRUE(holds_data_set(window.chosen()));
    EXPECT_EQ(window.progress()->value(), window.progress()->maximum());
    EXPECT_TRUE(fs::exists(wanted / "notes.txt"));
    EXPECT_FALSE(fs::exists(tmp / "vantrel" / ".demo-partial"));
}

TEST(DataSetChooser, PreselectsAsToldAndGivesTheSelectedFolder) {
    qt_app();
    const std::vector<fs::path> sets{"/a/one", "/b/two", "/c/three"};
    DataSetChooser chooser(sets, fs::path("/b/two"), nullptr);
    ASSERT_EQ(chooser.list()->count(), 3);
    EXPECT_EQ(chooser.list()->currentRow(), 1);
    EXPECT_TRUE(chooser.failure()->isHidden());
    chooser.list()->setCurrentRow(2);
    QTest::keyClick(chooser.list(), Qt::Key_Return);
    EXPECT_EQ(chooser.chosen(), fs::path("/c/three"));
    // After a failed start: no row taken for granted, so Return starts nothing, and the
    // failure shown with the set's folder.
    DataSetChooser after(sets, std::nullopt, nullptr);
    after.show_failure("/a/one", "image\\title\\03.jpgが見つかりません");
    EXPECT_EQ(after.list()->currentRow(), -1);
    EXPECT_FALSE(after.failure()->isHidden());
    EXPECT_TRUE(after.failure()->text().contains("/a/one"));
    EXPECT_TRUE(after.failure()->text().contains("03.jpg"));
    QTest::keyClick(after.list(), Qt::Key_Return);
    EXPECT_TRUE(after.chosen().empty());
}

}  // namespace
}  // namespace vantrel::test
