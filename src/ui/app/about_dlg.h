#pragma once
// "About VeltrimFTP...": the program, its version and two links.

#include <QDialog>

class QLabel;

namespace veltrim::ui {

inline constexpr char kWebPageUrl[] = "https://veltrimftp.example.org/";
inline constexpr char kMailAddress[] = "support@veltrimftp.example.org";

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* owner = nullptr);

  QLabel* WebLink() const { return web_; }
  QLabel* MailLink() const { return mail_; }

 private:
  QLabel* web_;
  QLabel* mail_;
};

}  // namespace veltrim::ui
