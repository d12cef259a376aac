#pragma once
// A docking bar that remembers its docked and floating sizes in the settings
// store, in the section "VeltrimFTP-SCBar-<control id>".

#include <QDockWidget>
#include <QSettings>
#include <QSize>

namespace veltrim::ui {

class DockingBar : public QDockWidget {
  Q_OBJECT
 public:
  DockingBar(const QString& title, int controlId, QWidget* parent);

  int ControlId() const { return controlId_; }
  QString SectionName() const;

  // The size used when docked at the top or bottom, at the left or right,
  // and floating. Stored values are raised to kMinimum and capped.
  QSize HorizontalSize() const { return horz_; }
  QSize VerticalSize() const { return vert_; }
  QSize FloatingSize() const { return float_; }

  void LoadSizes(QSettings& store);
  // Takes the bar's present size into the slot of its present state first.
  void SaveSizes(QSettings& store);

  static constexpr QSize kDefault{200, 200};
  static constexpr QSize kMinimum{40, 40};

 private:
  void TakeCurrentSize();

  int controlId_;
  QSize horz_ = kDefault;
  QSize vert_ = kDefault;
  QSize float_ = kDefault;
};

}  // namespace veltrim::ui
