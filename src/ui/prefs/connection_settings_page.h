#pragma once
// "&Connection Settings", the first page of the Preferences sheet: the
// remembered answers for cancelling the queue and for a second connection
// (Yes / No / Ask), the transfer block size, Autologin, sounds and "Use TLS
// when the server offers it".

#include <QWidget>

#include <map>

#include "ui/shared/preferences.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QSlider;

namespace veltrim::ui {

class CMyPropertyPage2 : public QWidget {
  Q_OBJECT
 public:
  enum ControlId : int {
    kAutoConnect = 1040,
    kSounds = 1043,
    kNewConnYes = 1046,
    kNewConnNo = 1047,
    kNewConnAsk = 1048,
    kCancelNo = 1050,
    kCancelAsk = 1051,
    kCancelYes = 1066,
    kBlockSlider = 1076,
    kBlockLabel = 1077,
    kUseTls = 1090,
  };
  // The slider's steps: 1..16 blocks of 256 bytes.
  static constexpr int kBlockStep = 256;
  static constexpr int kMinSteps = 1;
  static constexpr int kMaxSteps = 16;

  explicit CMyPropertyPage2(QWidget* parent = nullptr);

  // Fills the controls from prefs; Store writes this page's fields back.
  void Load(const Preferences& prefs);
  void Store(Preferences& prefs) const;

  QWidget* Control(int id) const;

 private:
  void OnSliderMoved(int steps);
  void ShowBlockSize();

  std::map<int, QWidget*> controls_;
  QButtonGroup* cancelGroup_ = nullptr;
  QButtonGroup* newConnGroup_ = nullptr;
  QSlider* slider_ = nullptr;
  QLabel* blockLabel_ = nullptr;
  QCheckBox* autoConnect_ = nullptr;
  QCheckBox* sounds_ = nullptr;
  QCheckBox* useTls_ = nullptr;
  // Kept as stored (even off the slider's grid) until the slider moves.
  int blockSize_ = 1024;
};

}  // namespace veltrim::ui
