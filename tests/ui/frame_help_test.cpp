// The Help menu's pages and the links between them.

#include <QDir>
#include <QTextBrowser>
#include <QtTest>
#include <memory>

#include "helpers/prompt_script.h"
#include "helpers/temporary_settings_store.h"
#include "ui/shared/command_ids.h"
#include "ui/app/help_window.h"
#include "ui/app/main_frame.h"

using veltrim::test::PromptScript;
using namespace veltrim::ui;

class FrameHelpTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<veltrim::test::TemporarySettingsStore> store_;
  std::unique_ptr<CMainFrame> frame_;

 private slots:
  void init() {
    store_ = std::make_unique<veltrim::test::TemporarySettingsStore>();
    frame_ = std::make_unique<CMainFrame>();
  }

  void cleanup() {
    frame_.reset();
    store_.reset();
  }

  void helpCommandsOpenShippedPages() {
    const std::tuple<int, const char*, const char*> cases[] = {
        {ID_HELP_CONTENTS, "index.html", "VeltrimFTP Help"},
        {ID_HELP_INDEX, "topics.html", "Help Topics"},
        {ID_HELP_GETTING_STARTED, "getting-started.html", "Getting Started"}};
    for (const auto& [command, page, heading] : cases) {
      frame_->ExecuteCommand(command);
      QVERIFY(frame_->Help() != nullptr);
      QVERIFY(frame_->Help()->isVisible());
      QCOMPARE(frame_->Help()->CurrentPage(), QString::fromLatin1(page));
      QVERIFY(frame_->Help()->Browser()->toPlainText().contains(QString::fromLatin1(heading)));
    }
  }

  void everyLinkBetweenPagesLeadsToAPage() {
    const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)"));
    const QStringList pages = QDir(QStringLiteral(":/veltrimftp/help")).entryList({QStringLiteral("*.html")});
    QVERIFY(pages.size() >= 7);
    for (const QString& page : pages) {
      QFile file(":/veltrimftp/help/" + page);
      QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page));
      const QString html = QString::fromUtf8(file.readAll());
      for (auto it = link.globalMatch(html); it.hasNext();) {
        const QString target = it.next().captured(1);
        QVERIFY2(QFile::exists(":/veltrimftp/help/" + target), qPrintable(page + " -> " + target));
      }
    }
  }

  void unknownPageShowsTheContents() {
    frame_->ShowHelpPage("no-such-page.html");
    QCOMPARE(frame_->Help()->CurrentPage(), QStringLiteral("index.html"));
  }
};

QTEST_MAIN(FrameHelpTest)
#include "frame_help_test.moc"
