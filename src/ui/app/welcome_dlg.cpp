#include "ui/app/welcome_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "ui/app/string_table.h"

namespace veltrim::ui {

CWelcomeDlg::CWelcomeDlg(QWidget* owner)
    : QDialog(owner),
      newButton_(new QPushButton(QStringLiteral("New"), this)),
      existingButton_(new QPushButton(QStringLiteral("Existing"), this)),
      dontShow_(new QCheckBox(QStringLiteral("Do not show this box again"), this)) {
  setWindowTitle(QStringLiteral("Welcome to VeltrimFTP"));
  setObjectName(QStringLiteral("WelcomeDlg"));
  auto* text = new QLabel(LoadMessage(61219), this);
  text->setWordWrap(true);
  text->setMinimumWidth(360);

  newButton_->setObjectName(QStringLiteral("1034"));
  existingButton_->setObjectName(QStringLiteral("1035"));
  dontShow_->setObjectName(QStringLiteral("1036"));
  newButton_->setIcon(QIcon::fromTheme(QStringLiteral("document-new"),
                                       style()->standardIcon(QStyle::SP_FileIcon)));
  existingButton_->setIcon(QIcon::fromTheme(QStringLiteral("document-open"),
                                            style()->standardIcon(QStyle::SP_DirOpenIcon)));
  for (QPushButton* button : {newButton_, existingButton_}) {
    button->setIconSize(QSize(32, 32));
    button->setMinimumSize(96, 44);
    button->setAutoDefault(false);
  }

  auto* layout = new QGridLayout(this);
  layout->addWidget(text, 0, 0, 1, 2);
  layout->addWidget(newButton_, 1, 0);
  layout->addWidget(new QLabel(QStringLiteral("\nConnect to a new server, creating a new server profile."), this), 1, 1);
  layout->addWidget(existingButton_, 2, 0);
  layout->addWidget(new QLabel(QStringLiteral("\nConnect to an existing server profile."), this), 2, 1);
  layout->addWidget(dontShow_, 3, 0, 1, 2);

  connect(newButton_, &QPushButton::clicked, this, [this] {
    choice_ = kChoiceNew;
    accept();
  });
  connect(existingButton_, &QPushButton::clicked, this, [this] {
    choice_ = kChoiceExisting;
    accept();
  });
  connect(dontShow_, &QCheckBox::toggled, this, [this](bool on) { dontShowAgain_ = on; });
}

}  // namespace veltrim::ui
