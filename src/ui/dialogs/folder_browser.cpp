#include "ui/dialogs/folder_browser.h"

#include <utility>

#include "ui/dialogs/prompts.h"

namespace veltrim::ui {

CFolderBrowser::CFolderBrowser(QWidget* owner, QString title, QString initialFolder)
    : owner_(owner), title_(std::move(title)), initialFolder_(std::move(initialFolder)) {}

QString CFolderBrowser::Browse() const {
  QString folder = Prompts().FolderName(owner_, title_, initialFolder_);
  // Whatever the chooser hands back, callers get the one form: no trailing "/".
  while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
  return folder;
}

}  // namespace veltrim::ui
