#include "ui/app/about_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

#include "ui/widgets/drawn_images.h"
#include "ui/widgets/hyperlink_label.h"

namespace veltrim::ui {

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("About VeltrimFTP..."));
  setObjectName(QStringLiteral("AboutDlg"));
  auto* icon = new QLabel(this);
  icon->setPixmap(ProgramIcon().pixmap(48, 48));
  auto* name = new QLabel(QStringLiteral("<b>VeltrimFTP v3.0</b>"), this);
  auto* notice = new QLabel(
      QStringLiteral("A desktop FTP client: keep your servers in profiles, browse, and move files "
                     "and whole folders both ways."),
      this);
  notice->setWordWrap(true);
  web_ = MakeHyperlink(QString::fromLatin1(kWebPageUrl), QString::fromLatin1(kWebPageUrl), this);
  mail_ = MakeHyperlink(QStringLiteral("mailto:") + QString::fromLatin1(kMailAddress),
                        QString::fromLatin1(kMailAddress), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(icon, 0, 0, 4, 1, Qt::AlignTop);
  layout->addWidget(name, 0, 1);
  layout->addWidget(notice, 1, 1);
  layout->addWidget(web_, 2, 1);
  layout->addWidget(mail_, 3, 1);
  layout->addWidget(buttons, 4, 0, 1, 2);
  setMinimumWidth(380);
}

}  // namespace veltrim::ui
