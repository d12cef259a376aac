#include "ui/prefs/connection_settings_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace veltrim::ui {
namespace {

// Which radio of a Yes / No / Ask group a pair of remembered answers means.
int ChoiceOf(bool always, bool never, int yes, int no, int ask) {
  if (always) return yes;
  return never ? no : ask;
}

}  // namespace

CMyPropertyPage2::CMyPropertyPage2(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CMyPropertyPage2"));
  auto* layout = new QVBoxLayout(this);

  auto addGroup = [&](const char* title, int yes, int no, int ask) {
    auto* box = new QGroupBox(QString::fromLatin1(title), this);
    auto* row = new QHBoxLayout(box);
    auto* group = new QButtonGroup(this);
    for (const auto& [id, text] : {std::pair{yes, "Yes"}, std::pair{no, "No"}, std::pair{ask, "Ask"}}) {
      auto* radio = new QRadioButton(QString::fromLatin1(text), box);
      radio->setObjectName(QStringLiteral("radio%1").arg(id));
      group->addButton(radio, id);
      row->addWidget(radio);
      controls_[id] = radio;
    }
    row->addStretch();
    layout->addWidget(box);
    return group;
  };
  cancelGroup_ = addGroup("Automatically cancel all queued items", kCancelYes, kCancelNo, kCancelAsk);
  newConnGroup_ = addGroup("Create a new connection for file transfers", kNewConnYes, kNewConnNo, kNewConnAsk);

  auto* blockBox = new QGroupBox(QStringLiteral("Transfer Block Size"), this);
  auto* blockRow = new QHBoxLayout(blockBox);
  slider_ = new QSlider(Qt::Horizontal, blockBox);
  slider_->setObjectName(QStringLiteral("slider%1").arg(kBlockSlider));
  slider_->setRange(kMinSteps, kMaxSteps);
  slider_->setPageStep(1);
  slider_->setTickPosition(QSlider::TicksBelow);
  slider_->setTickInterval(1);
  blockLabel_ = new QLabel(QStringLiteral("1024"), blockBox);
  blockLabel_->setObjectName(QStringLiteral("label%1").arg(kBlockLabel));
  // Wide enough for the longest text, so the slider does not jump about.
  blockLabel_->setMinimumWidth(blockLabel_->fontMetrics().horizontalAdvance(QStringLiteral("4096 bytes/block ")));
  blockRow->addWidget(slider_, 1);
  blockRow->addWidget(blockLabel_);
  layout->addWidget(blockBox);
  controls_[kBlockSlider] = slider_;
  controls_[kBlockLabel] = blockLabel_;

  autoConnect_ = new QCheckBox(QStringLiteral("Automatically connect to the server"), this);
  sounds_ = new QCheckBox(QStringLiteral("Enable Sounds"), this);
  useTls_ = new QCheckBox(QStringLiteral("Use TLS when the server offers it"), this);
  for (const auto& [id, box] : {std::pair{int(kAutoConnect), autoConnect_}, std::pair{int(kSounds), sounds_},
                                std::pair{int(kUseTls), useTls_}}) {
    box->setObjectName(QStringLiteral("check%1").arg(id));
    layout->addWidget(box);
    controls_[id] = box;
  }
  layout->addStretch();

  connect(slider_, &QSlider::valueChanged, this, &CMyPropertyPage2::OnSliderMoved);
}

QWidget* CMyPropertyPage2::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void CMyPropertyPage2::Load(const Preferences& prefs) {
  newConnGroup_->button(ChoiceOf(prefs.NewConn, prefs.NoNewConn, kNewConnYes, kNewConnNo, kNewConnAsk))
      ->setChecked(true);
  cancelGroup_->button(ChoiceOf(prefs.Cancel, prefs.NeverCancel, kCancelYes, kCancelNo, kCancelAsk))->setChecked(true);
  blockSize_ = prefs.BlockSize;
  // The nearest position; the size itself stays as stored until the user
  // moves the slider (Load's own positioning is not a move).
  const QSignalBlocker quiet(slider_);
  slider_->setValue(std::clamp((blockSize_ + kBlockStep / 2) / kBlockStep, kMinSteps, kMaxSteps));
  ShowBlockSize();
  autoConnect_->setChecked(prefs.Autologin);
  sounds_->setChecked(prefs.PlaySounds);
  useTls_->setChecked(prefs.UseTLSWhenOffered);
}

void CMyPropertyPage2::Store(Preferences& prefs) const {
  const int newConn = newConnGroup_->checkedId();
  prefs.NewConn = newConn == kNewConnYes;
  prefs.NoNewConn = newConn == kNewConnNo;
  const int cancel = cancelGroup_->checkedId();
  prefs.Cancel = cancel == kCancelYes;
  prefs.NeverCancel = cancel == kCancelNo;
  prefs.BlockSize = blockSize_;
  prefs.Autologin = autoConnect_->isChecked();
  prefs.PlaySounds = sounds_->isChecked();
  prefs.UseTLSWhenOffered = useTls_->isChecked();
}

void CMyPropertyPage2::OnSliderMoved(int steps) {
  blockSize_ = steps * kBlockStep;
  ShowBlockSize();
}

void CMyPropertyPage2::ShowBlockSize() {
  blockLabel_->setText(QString::number(blockSize_) + QStringLiteral(" bytes/block"));
}

}  // namespace veltrim::ui
