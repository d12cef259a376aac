#include "ui/profile/wizard_dlg.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "ui/widgets/dialog_units.h"
#include "ui/widgets/drawn_images.h"
#include "ui/widgets/gradient_caption.h"
#include "ui/widgets/wizard_picture.h"

namespace veltrim::ui {
namespace {

constexpr char kBackText[] = "< &Back";
constexpr char kNextText[] = "&Next >";
constexpr char kFinishText[] = "&Convert";
constexpr char kCancelText[] = "&Cancel";

}  // namespace

CWizardDlg::CWizardDlg(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("CWizardDlg"));
  setWindowTitle(QStringLiteral("Wizard"));
  const DialogUnits du = DialogUnits::For(QFontMetrics(font()));
  setFixedSize(du.X(302), du.Y(186));

  auto* picture = new QLabel(this);
  picture->setGeometry(du.Rect(3, 2, 79, 160));
  picture->setPixmap(WizardPicture(picture->size()));
  caption_ = new CGradientCaption(this);
  caption_->setGeometry(du.Rect(85, 2, 215, 11));
  pageRect_ = du.Rect(85, 15, 215, 145);
  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(du.X(0), du.Y(165), du.X(300), 2);

  back_ = new QPushButton(this);
  back_->setGeometry(du.Rect(139, 170, 50, 14));
  back_->setEnabled(false);
  back_->setAutoDefault(false);
  next_ = new QPushButton(this);
  next_->setGeometry(du.Rect(190, 170, 50, 14));
  next_->setDefault(true);
  cancel_ = new QPushButton(this);
  cancel_->setGeometry(du.Rect(250, 170, 50, 14));
  cancel_->setAutoDefault(false);
  connect(back_, &QPushButton::clicked, this, &CWizardDlg::OnBack);
  connect(next_, &QPushButton::clicked, this, &CWizardDlg::OnNext);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void CWizardDlg::AddPage(const QString& title, CWizardPage* page) {
  page->setParent(this);
  page->setGeometry(pageRect_);
  page->hide();
  pages_.push_back({title, page});
}

void CWizardDlg::showEvent(QShowEvent* event) {
  if (!initialised_) OnInitDialog();
  QDialog::showEvent(event);
}

void CWizardDlg::OnInitDialog() {
  initialised_ = true;
  setWindowIcon(ProgramIcon());
  back_->setText(QString::fromLatin1(kBackText));
  cancel_->setText(QString::fromLatin1(kCancelText));
  if (!pages_.empty()) ShowPage(0);
  UpdateButtons();
}

void CWizardDlg::ShowPage(int index) {
  if (index < 0 || index >= PageCount()) return;
  if (current_ >= 0) {
    if (!Page(current_)->ReadFields()) return;
    Page(current_)->hide();
  }
  current_ = index;
  Page(current_)->show();
  caption_->SetText(pages_[static_cast<std::size_t>(current_)].title);
  UpdateButtons();
}

void CWizardDlg::UpdateButtons() {
  back_->setEnabled(current_ > 0);
  next_->setText(QString::fromLatin1(current_ == PageCount() - 1 ? kFinishText : kNextText));
}

void CWizardDlg::OnNext() {
  if (current_ < PageCount() - 1)
    ShowPage(current_ + 1);
  else
    OnFinish();
}

void CWizardDlg::OnBack() {
  if (current_ > 0) ShowPage(current_ - 1);
}

void CWizardDlg::OnFinish() {
  if (current_ >= 0 && !Page(current_)->ReadFields()) return;
  accept();
}

}  // namespace veltrim::ui
