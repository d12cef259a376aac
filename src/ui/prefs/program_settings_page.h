#pragma once
// "&Program Settings", the second page of the Preferences sheet: the text
// extensions of the automatic transfer type, the introduction and welcome
// message switches, and which of the three bars are shown.

#include <QStringList>
#include <QWidget>

#include <map>

#include "ui/shared/preferences.h"

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace veltrim::ui {

// What the page shows of the frame besides its preferences.
struct BarVisibility {
  bool sessionLog = true;
  bool directories = true;
  bool connectionBar = true;
};

class CMyPropertyPage3 : public QWidget {
  Q_OBJECT
 public:
  enum ControlId : int {
    kShowIntro = 1040,
    kWelcome = 1045,
    kShowLog = 1049,
    kShowConnectionBar = 1052,
    kShowTree = 1064,
    kExtensionEdit = 1037,
    kAdd = 1039,
    kExtensionList = 1053,
    kRemove = 1054,
  };

  explicit CMyPropertyPage3(QWidget* parent = nullptr);

  void Load(const Preferences& prefs, const BarVisibility& bars);
  // Writes the extensions (with their one end marker), ShowIntro and
  // ShowWelcome back.
  void Store(Preferences& prefs) const;
  BarVisibility Bars() const;
  // The list as edited so far, ending with its one empty end marker.
  const QStringList& Extensions() const { return extensions_; }

  void OnAdd();
  void OnRemove();

  QWidget* Control(int id) const;

 private:
  void AddRow(const QString& extension);

  std::map<int, QWidget*> controls_;
  QListWidget* list_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QStringList extensions_;
};

}  // namespace veltrim::ui
