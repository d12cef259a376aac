// The remote list's texts and order, and the Directories tree's nodes.
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <ctime>
#include <tuple>

#include "ui/views/directory_tree_navigator.h"
#include "ui/views/file_type_names.h"
#include "ui/views/remote_entry_format.h"
#include "ui/views/remote_entry_model.h"
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
  void sizeAndTypeTexts() {
    const std::pair<qulonglong, const char*> sizes[] = {
        {0, "0"},          {1023, "1023"},       {1024, "1KB"},
        {2046, "1KB"},     {2047, "2KB"},        {1048575, "1,024KB"},
        {5368709120ull, "5,242,880KB"}, {18446744073709551615ull, "18,014,398,509,481,983KB"}};
    for (const auto& [size, text] : sizes) QCOMPARE(SizeText(size), QString::fromLatin1(text));
    // The generic type text: the last extension, or "Data File".
    const std::pair<const char*, const char*> types[] = {{"readme.txt", "TXT File"}, {"archive.tar.gz", "GZ File"},
                                                         {"Makefile", "Data File"}, {".profile", "Data File"},
                                                         {"notes.", " File"}};
    for (const auto& [name, type] : types) QCOMPARE(GenericTypeText(QString::fromLatin1(name)), QString::fromLatin1(type));
  }

  void dateText() {
    std::tm parts{};
    parts.tm_isdst = -1;
    const std::tuple<int, int, int, int, int, const char*> cases[] = {{99, 2, 7, 14, 5, "3/7/99 2:05 PM"},
                                                                      {108, 11, 31, 0, 9, "12/31/08 12:09 AM"}};
    for (const auto& [year, month, day, hour, minute, text] : cases) {
      std::tie(parts.tm_year, parts.tm_mon, parts.tm_mday, parts.tm_hour, parts.tm_min) =
          std::tie(year, month, day, hour, minute);
      QCOMPARE(DateText(std::mktime(&parts)), QString::fromLatin1(text));
    }
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
};

QTEST_MAIN(BrowseRowsTest)
#include "browse_rows_test.moc"
