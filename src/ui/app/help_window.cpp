#include "ui/app/help_window.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/app/about_dlg.h"
#include "ui/widgets/hyperlink_label.h"

namespace veltrim::ui {
namespace {

const QString kHelpRoot = QStringLiteral("qrc:/veltrimftp/help/");

}  // namespace

std::vector<HelpLink> WebLinks() {
  const QString base = QString::fromLatin1(kWebPageUrl);
  return {{QStringLiteral("&Home Page"), base},
          {QStringLiteral("&Frequently Asked Questions"), base + QStringLiteral("faq/")},
          {QStringLiteral("&Send Feedback"), QStringLiteral("mailto:") + QString::fromLatin1(kMailAddress)}};
}

HelpWindow::HelpWindow(QWidget* owner) : QDialog(owner), browser_(new QTextBrowser(this)) {
  setWindowTitle(QStringLiteral("VeltrimFTP Help"));
  setObjectName(QStringLiteral("HelpWindow"));
  setModal(false);
  // Pages link to each other inside the program; anything else goes to the
  // desktop's browser or mail program.
  browser_->setOpenLinks(false);
  connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    const QUrl target = browser_->source().resolved(url);
    if (target.scheme() == QLatin1String("qrc"))
      browser_->setSource(target);
    else
      OpenExternalLink(target);
  });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(620, 520);
}

void HelpWindow::ShowPage(const QString& page) {
  QString name = page;
  if (!QFile::exists(QStringLiteral(":/veltrimftp/help/") + name)) name = QStringLiteral("index.html");
  browser_->setSource(QUrl(kHelpRoot + name));
  show();
  raise();
  activateWindow();
}

QString HelpWindow::CurrentPage() const { return browser_->source().fileName(); }

}  // namespace veltrim::ui
