#include "ui/dialogs/remembered_question_dlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrim::ui {

CRememberedQuestionDlg::CRememberedQuestionDlg(const Texts& texts, QWidget* owner)
    : QDialog(owner),
      alwaysBox_(new QCheckBox(QString::fromLatin1(texts.alwaysText), this)),
      neverBox_(new QCheckBox(QString::fromLatin1(texts.neverText), this)) {
  setWindowTitle(QString::fromLatin1(texts.caption));
  alwaysBox_->setObjectName(QStringLiteral("check%1").arg(texts.alwaysId));
  neverBox_->setObjectName(QStringLiteral("check%1").arg(texts.neverId));

  auto* question = new QLabel(QString::fromLatin1(texts.question), this);
  question->setWordWrap(true);
  auto* explanation = new QLabel(QString::fromLatin1(texts.explanation), this);
  explanation->setWordWrap(true);
  auto* yes = new QPushButton(QStringLiteral("Yes"), this);
  yes->setObjectName(QStringLiteral("button1"));
  yes->setDefault(true);
  auto* no = new QPushButton(QStringLiteral("No"), this);
  no->setObjectName(QStringLiteral("button2"));
  connect(yes, &QPushButton::clicked, this, &QDialog::accept);
  connect(no, &QPushButton::clicked, this, &QDialog::reject);

  // Ticking one box clears the other: "always" and "never" cannot both hold.
  connect(alwaysBox_, &QCheckBox::clicked, this, [this] {
    ReadBoxes();
    never_ = 0;
    WriteBoxes();
  });
  connect(neverBox_, &QCheckBox::clicked, this, [this] {
    ReadBoxes();
    always_ = 0;
    WriteBoxes();
  });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(yes);
  buttons->addWidget(no);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(question);
  layout->addWidget(explanation);
  layout->addWidget(alwaysBox_);
  layout->addWidget(neverBox_);
  layout->addLayout(buttons);
  setMinimumWidth(420);
}

void CRememberedQuestionDlg::SetAlways(int always) {
  always_ = always ? 1 : 0;
  WriteBoxes();
}

void CRememberedQuestionDlg::SetNever(int never) {
  never_ = never ? 1 : 0;
  WriteBoxes();
}

void CRememberedQuestionDlg::ReadBoxes() {
  always_ = alwaysBox_->isChecked() ? 1 : 0;
  never_ = neverBox_->isChecked() ? 1 : 0;
}

void CRememberedQuestionDlg::WriteBoxes() {
  alwaysBox_->setChecked(always_ != 0);
  neverBox_->setChecked(never_ != 0);
}

void CRememberedQuestionDlg::done(int result) {
  // Both answers keep the boxes: the caller may remember either way.
  ReadBoxes();
  QDialog::done(result);
}

}  // namespace veltrim::ui
