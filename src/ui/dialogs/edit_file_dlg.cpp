#include "ui/dialogs/edit_file_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrim::ui {

CEditFileDlg::CEditFileDlg(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("CEditFileDlg"));
  setWindowTitle(QStringLiteral("Edit File"));
  auto* text = new QLabel(
      QStringLiteral("Be sure to save your work and hit the \"Update\" button to update the file "
                     "on the server.  You can hit cancel to abort the update."),
      this);
  text->setWordWrap(true);
  auto* update = new QPushButton(QStringLiteral("&Update"), this);
  update->setObjectName(QStringLiteral("button1"));
  update->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("button2"));
  connect(update, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(update);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addLayout(buttons);
  setMinimumWidth(360);
}

}  // namespace veltrim::ui
