#pragma once
// Choosing a local folder: a title, an initial folder preselected, and the
// chosen path back (no trailing "/"), or an empty path when cancelled.

#include <QString>

class QWidget;

namespace veltrim::ui {

class CFolderBrowser {
 public:
  static constexpr char kDefaultTitle[] = "Please select a folder:";

  explicit CFolderBrowser(QWidget* owner = nullptr,
                          QString title = QString::fromLatin1(kDefaultTitle),
                          QString initialFolder = {});

  // Runs the chooser through the prompt seam.
  QString Browse() const;

 private:
  QWidget* owner_;
  QString title_;
  QString initialFolder_;
};

}  // namespace veltrim::ui
