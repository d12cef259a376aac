#pragma once
// "Property Sheet": the Preferences command's modal sheet with its two
// pages. It edits a copy of the preferences and the bars' visibility; the
// caller applies the result only when the sheet ends with OK.

#include <QDialog>

#include "ui/prefs/program_settings_page.h"
#include "ui/shared/preferences.h"

class QTabWidget;

namespace veltrim::ui {

class CMyPropertyPage2;
class CMyPropertyPage3;

class CMyPropertySheet : public QDialog {
  Q_OBJECT
 public:
  explicit CMyPropertySheet(QWidget* owner = nullptr);

  // Fills both pages; the first page is selected.
  void SetValues(const Preferences& prefs, const BarVisibility& bars);
  // prefs with the pages' fields written over it, and the bars as checked.
  Preferences EditedPreferences(Preferences prefs) const;
  BarVisibility EditedBars() const;

  CMyPropertyPage2& ConnectionPage() const { return *connection_; }
  CMyPropertyPage3& ProgramPage() const { return *program_; }
  QTabWidget& Tabs() const { return *tabs_; }

 private:
  QTabWidget* tabs_;
  CMyPropertyPage2* connection_;
  CMyPropertyPage3* program_;
};

}  // namespace veltrim::ui
