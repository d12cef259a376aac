#pragma once
// "Edit File": shown while a remote file is open in a local editor; OK
// ("&Update") means the edited copy goes back to the server.

#include <QDialog>

namespace veltrim::ui {

class CEditFileDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CEditFileDlg(QWidget* owner = nullptr);
};

}  // namespace veltrim::ui
