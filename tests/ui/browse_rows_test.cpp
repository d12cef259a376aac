// The remote list's texts and order, and the Directories tree's nodes.
#include <QAction>
#include <QListView>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <ctime>

#include "ui/views/directory_tree_navigator.h"
#include "ui/views/file_type_names.h"
#include "ui/views/remote_entry_format.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_menus.h"
#include "ui/views/remote_list_view.h"

using namespace veltrim;
using namespace veltrim::ui;

namespace {

ListingEntry Entry(const std::string& name, uint64_t size, std::time_t modified, bool directory, bool normal = true) {
  ListingEntry entry;
  entry.Name = name;
  entry.Size = size;
  entry.Modified = modified;
  entry.IsDirectory = directory;
  entry.IsNormal = !directory && normal;
  return entry;
}

QStringList Names(const RemoteEntryModel& model) {
  QStringList names;
  for (int row = 0; row < model.rowCount(); ++row) names << model.Row(row).name;
  return names;
}

}  // namespace

class BrowseRowsTest : public QObject {
  Q_OBJECT
 private slots:
  void sizeTexts_data() {
    QTest::addColumn<qulonglong>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0ull << "0";
    QTest::newRow("512") << 512ull << "512";
    QTest::newRow("1023") << 1023ull << "1023";
    QTest::newRow("1024") << 1024ull << "1KB";
    QTest::newRow("2046") << 2046ull << "1KB";
    QTest::newRow("2047") << 2047ull << "2KB";
    QTest::newRow("1048575") << 1048575ull << "1,024KB";
    QTest::newRow("5 GiB") << 5368709120ull << "5,242,880KB";
    QTest::newRow("largest") << 18446744073709551615ull << "18,014,398,509,481,983KB";
  }
  void sizeTexts() {
    QFETCH(qulonglong, size);
    QFETCH(QString, text);
    QCOMPARE(SizeText(size), text);
  }

  void dateText() {
    std::tm parts{};
    parts.tm_year = 99;
    parts.tm_mon = 2;
    parts.tm_mday = 7;
    parts.tm_hour = 14;
    parts.tm_min = 5;
    parts.tm_isdst = -1;
    QCOMPARE(DateText(std::mktime(&parts)), QStringLiteral("3/7/99 2:05 PM"));
    parts.tm_hour = 0;
    parts.tm_min = 9;
    parts.tm_year = 108;
    parts.tm_mon = 11;
    parts.tm_mday = 31;
    QCOMPARE(DateText(std::mktime(&parts)), QStringLiteral("12/31/08 12:09 AM"));
  }

  void genericTypeTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::newRow("extension") << "readme.txt" << "TXT File";
    QTest::newRow("last dot counts") << "archive.tar.gz" << "GZ File";
    QTest::newRow("no dot") << "Makefile" << "Data File";
    QTest::newRow("leading dot only") << ".profile" << "Data File";
    QTest::newRow("trailing dot") << "notes." << " File";
  }
  void genericTypeTexts() {
    QFETCH(QString, name);
    QFETCH(QString, type);
    QCOMPARE(GenericTypeText(name), type);
  }

  void associatedViewerRule() {
    const struct {
      const char* name;
      const char* type;
      bool enabled;
    } cases[] = {{"notes.txt", "Plain text document", true}, {"report.xyz", "XYZ File", false},
                 {"README", "Data File", false},           {".profile", "Data File", false},
                 {"pub", "File Folder", false},            {"latest", "Alias", false}};
    for (const auto& c : cases) QCOMPARE(HasAssociatedProgram(c.name, c.type), c.enabled);
  }

  void desktopTypeTexts() {
    // Known types get the desktop's name; unknown ones the generic form.
    QVERIFY(!ShellTypeName(QStringLiteral("page.html")).isEmpty());
    QCOMPARE(FileTypeText(QStringLiteral("thing.qqzzyy")), QStringLiteral("QQZZYY File"));
    QCOMPARE(FileTypeText(QStringLiteral("setup.exe")), QStringLiteral("Application"));
    QVERIFY(!ShellIcon(QStringLiteral("thing.qqzzyy")).isNull());
  }

  // The order of the list for each sort key, folders included.
  void sortOrder_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("order");
    // Rows: folders Beta (old), alpha (new); files c.txt (10 B, oldest),
    // B.doc (300 B, newest), a.txt (300 B, middle).
    QTest::newRow("name ascending") << 1 << QStringList{"alpha", "Beta", "a.txt", "B.doc", "c.txt"};
    QTest::newRow("name descending") << -1 << QStringList{"Beta", "alpha", "c.txt", "B.doc", "a.txt"};
    QTest::newRow("size ascending") << 2 << QStringList{"alpha", "Beta", "c.txt", "a.txt", "B.doc"};
    QTest::newRow("size descending") << -2 << QStringList{"alpha", "Beta", "B.doc", "a.txt", "c.txt"};
    QTest::newRow("type ascending") << 3 << QStringList{"alpha", "Beta", "B.doc", "a.txt", "c.txt"};
    QTest::newRow("type descending") << -3 << QStringList{"c.txt", "a.txt", "B.doc", "Beta", "alpha"};
    QTest::newRow("date ascending") << 4 << QStringList{"Beta", "alpha", "c.txt", "a.txt", "B.doc"};
    QTest::newRow("date descending") << -4 << QStringList{"alpha", "Beta", "B.doc", "a.txt", "c.txt"};
  }
  void sortOrder() {
    QFETCH(int, key);
    QFETCH(QStringList, order);
    std::deque<ListingEntry> entries{Entry("c.txt", 10, 1000, false), Entry("Beta", 0, 2000, true),
                                     Entry("B.doc", 300, 9000, false), Entry("alpha", 0, 8000, true),
                                     Entry("a.txt", 300, 5000, false)};
    // Type texts pinned, so the order does not hang on the desktop's names.
    QStringList types{"TXT File", "File Folder", "DOC File", "File Folder", "TXT File"};
    std::vector<RowSortKey> keys;
    for (int i = 0; i < 5; ++i) keys.push_back(RowSortKey{QString::fromStdString(entries[size_t(i)].Name).toUpper(),
                                                          types[i].toUpper(), entries[size_t(i)].Size,
                                                          entries[size_t(i)].Modified});
    std::vector<int> index{0, 1, 2, 3, 4};
    std::stable_sort(index.begin(), index.end(),
                     [&](int a, int b) { return CompareRows(keys[size_t(a)], keys[size_t(b)], key) < 0; });
    QStringList names;
    for (int i : index) names << QString::fromStdString(entries[size_t(i)].Name);
    QCOMPARE(names, order);
  }

  void compareEdges() {
    const RowSortKey a{"A", "TXT FILE", 1, 1};
    const RowSortKey b{"B", "TXT FILE", 1, 1};
    QCOMPARE(CompareRows(a, b, 0), 0);
    QCOMPARE(CompareRows(a, b, 7), 0);
    QCOMPARE(CompareRows(a, a, 2), 0);
    QVERIFY(CompareRows(a, b, 2) < 0);
    QVERIFY(CompareRows(a, b, -2) > 0);
  }

  void modelSkipsDotsAndDuplicates() {
    std::deque<ListingEntry> entries{Entry(".", 0, 0, true), Entry("..", 0, 0, true), Entry("a.txt", 1, 0, false),
                                     Entry("a.txt", 2, 0, false), Entry("A.TXT", 3, 0, false),
                                     Entry("link", 0, 0, false, false)};
    RemoteEntryModel model;
    for (ListingEntry& entry : entries) model.AddEntry(entry);
    model.Sort(0, true);
    QCOMPARE(Names(model), (QStringList{"a.txt", "A.TXT", "link"}));
    QCOMPARE(model.Row(0).sizeText, QStringLiteral("1"));
    QCOMPARE(model.Row(2).typeText, QStringLiteral("Alias"));
    QCOMPARE(entries[5].TypeText, std::string("Alias"));
  }

  void modelRemoveAndRename() {
    std::deque<ListingEntry> entries{Entry("dir", 0, 0, true), Entry("one.txt", 5, 0, false),
                                     Entry("two.txt", 5, 0, false)};
    RemoteEntryModel model;
    for (ListingEntry& entry : entries) model.AddEntry(entry);
    model.Sort(0, false);
    QCOMPARE(Names(model), (QStringList{"dir", "two.txt", "one.txt"}));
    model.RemoveEntryByName(QStringLiteral("TWO.TXT"));
    QCOMPARE(Names(model), (QStringList{"dir", "one.txt"}));
    QVERIFY(model.RenameEntry(QStringLiteral("ONE.txt"), QStringLiteral("zzz.qqzzyy")));
    QCOMPARE(model.Row(1).typeText, QStringLiteral("QQZZYY File"));
    QCOMPARE(entries[1].Name, std::string("zzz.qqzzyy"));
    QVERIFY(model.RenameEntry(QStringLiteral("dir"), QStringLiteral("folder.txt")));
    QCOMPARE(model.Row(0).typeText, QStringLiteral("File Folder"));
    QVERIFY(!model.RenameEntry(QStringLiteral("absent"), QStringLiteral("x")));
    QCOMPARE(model.SortAscending(), false);
  }

  void editingNameAsksForRename() {
    std::deque<ListingEntry> entries{Entry("old.txt", 5, 0, false)};
    RemoteEntryModel model;
    model.AddEntry(entries[0]);
    model.FlushStaged();
    QSignalSpy spy(&model, &RemoteEntryModel::RenameRequested);
    QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("new.txt"), Qt::EditRole));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(2).toString(), QStringLiteral("new.txt"));
    QCOMPARE(model.Row(0).name, QStringLiteral("old.txt"));  // the row waits for the server
  }

  void popupMenus_data() {
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("nothing selected") << false << QString() << "&View" << QStringList{"&View", "Refresh"};
    QTest::newRow("folder") << true << "File Folder" << "Change to..."
                            << QStringList{"Change to...", "&Download", "Re&name", "&Remove", "Refresh"};
    QTest::newRow("file") << true << "TXT File" << "&Download"
                          << QStringList{"&Download", "Re&name", "De&lete", "&View with", "&Edit with",
                                         "File &Information", "Refresh"};
    QTest::newRow("alias") << true << "Alias" << "&Download"
                           << QStringList{"&Download", "Re&name", "De&lete", "&View with", "&Edit with",
                                          "File &Information", "Refresh"};
  }
  void popupMenus() {
    QFETCH(bool, selected);
    QFETCH(QString, type);
    QFETCH(QString, first);
    QFETCH(QStringList, entries);
    int ran = 0;
    std::unique_ptr<QMenu> menu = BuildListMenu(ListMenuFor(selected, type), [](int) { return nullptr; },
                                                [&](int id) { ran = id; }, nullptr);
    QStringList texts;
    for (QAction* action : menu->actions())
      if (!action->isSeparator()) texts << action->text();
    QCOMPARE(texts, entries);
    QCOMPARE(texts.first(), first);
    if (selected) {
      QVERIFY(menu->defaultAction() != nullptr);
      QCOMPARE(menu->defaultAction()->text(), first);
    } else {
      QCOMPARE(menu->defaultAction(), nullptr);
    }
    menu->actions().last()->trigger();
    QCOMPARE(ran, 32831);  // Refresh
  }

  void keyboardMenuPosition() {
    QWidget list;
    list.move(100, 50);
    QCOMPARE(ListMenuPosition(false, QPoint(7, 9), &list), QPoint(7, 9));
    QCOMPARE(ListMenuPosition(true, QPoint(7, 9), &list), list.mapToGlobal(QPoint(5, 5)));
  }

  void treeShowPath() {
    QTreeWidget widget;
    DirectoryTreeNavigator tree(&widget);
    QSignalSpy navigate(&tree, &DirectoryTreeNavigator::ChangeDirectoryRequested);
    tree.SetRoot(QStringLiteral("ftp.example.com"));
    tree.ShowPath(QStringLiteral("/pub/linux"));
    QCOMPARE(DirectoryTreeNavigator::PathOf(tree.CurrentNode()), QStringLiteral("/pub/linux"));
    QCOMPARE(widget.currentItem(), tree.CurrentNode());
    tree.AddChild(QStringLiteral("."));
    tree.AddChild(QStringLiteral(".."));
    tree.AddChild(QStringLiteral("kernel"));
    tree.AddChild(QStringLiteral("KERNEL"));
    tree.AddChild(QStringLiteral("docs"));
    QCOMPARE(tree.CurrentNode()->childCount(), 2);
    QCOMPARE(tree.CurrentNode()->child(0)->text(0), QStringLiteral("docs"));
    tree.RemoveChild(QStringLiteral("Kernel"));
    QCOMPARE(tree.CurrentNode()->childCount(), 1);
    tree.ShowPath(QStringLiteral("/PUB"));  // same node, any case
    QCOMPARE(tree.RootNode()->childCount(), 1);
    QCOMPARE(tree.CurrentNode()->childCount(), 0);  // the listing adds them again
    tree.ShowPath(QString());
    QCOMPARE(tree.CurrentNode(), tree.RootNode());
    QCOMPARE(tree.RootNode()->childCount(), 0);
    QTest::qWait(DirectoryTreeNavigator::kNavigateDelayMs + 200);
    QCOMPARE(navigate.count(), 0);  // the program's selections never navigate
  }

  void iconModesShowWholeNames() {
    // Every name gets its whole cell and wraps under its icon.
    CVeltrimFTPView view;
    view.resize(500, 300);
    std::vector<ListingEntry> entries{Entry("a", 1, 0, false), Entry("b-rather-long-file-name.txt", 1, 0, false)};
    for (ListingEntry& entry : entries) view.Rows().AddEntry(entry);
    view.Rows().FlushStaged();
    view.show();
    for (ListMode mode : {ListMode::LargeIcons, ListMode::SmallIcons}) {
      view.SetMode(mode);
      QListView* icons = view.IconView();
      QTRY_VERIFY(icons->visualRect(view.Rows().index(1, 0)).width() >= icons->gridSize().width() - 4);
      QVERIFY(icons->wordWrap());
    }
  }

  void treeDebounce() {
    QTreeWidget widget;
    DirectoryTreeNavigator tree(&widget);
    QSignalSpy navigate(&tree, &DirectoryTreeNavigator::ChangeDirectoryRequested);
    tree.SetRoot(QStringLiteral("host"));
    tree.AddChild(QStringLiteral("pub"));
    tree.AddChild(QStringLiteral("incoming"));
    widget.setCurrentItem(tree.RootNode()->child(1));  // pub
    QTest::qWait(300);
    widget.setCurrentItem(tree.RootNode()->child(0));  // incoming
    QTest::qWait(DirectoryTreeNavigator::kNavigateDelayMs / 2);
    QCOMPARE(navigate.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(navigate.count(), 1, 2000);
    QCOMPARE(navigate.at(0).at(0).toString(), QStringLiteral("/incoming"));
    widget.setCurrentItem(tree.RootNode());
    QTRY_COMPARE_WITH_TIMEOUT(navigate.count(), 2, 2000);
    QCOMPARE(navigate.at(1).at(0).toString(), QStringLiteral("/"));
  }
};

QTEST_MAIN(BrowseRowsTest)
#include "browse_rows_test.moc"
