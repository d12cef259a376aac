#pragma once
// The help pages that ship with the program, shown in a window of its own.

#include <QDialog>
#include <QString>
#include <vector>

class QTextBrowser;

namespace veltrim::ui {

struct HelpLink {
  QString text;
  QString url;
};

// The maker's web pages offered in the Help menu.
std::vector<HelpLink> WebLinks();

class HelpWindow : public QDialog {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* owner = nullptr);

  // Shows page (a file name such as "index.html"); an unknown name shows
  // the contents page.
  void ShowPage(const QString& page);
  QString CurrentPage() const;
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace veltrim::ui
