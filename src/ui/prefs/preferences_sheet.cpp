#include "ui/prefs/preferences_sheet.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/prefs/connection_settings_page.h"

namespace veltrim::ui {

CMyPropertySheet::CMyPropertySheet(QWidget* owner)
    : QDialog(owner),
      tabs_(new QTabWidget(this)),
      connection_(new CMyPropertyPage2(tabs_)),
      program_(new CMyPropertyPage3(tabs_)) {
  setObjectName(QStringLiteral("CMyPropertySheet"));
  setWindowTitle(QStringLiteral("Property Sheet"));
  tabs_->addTab(connection_, QStringLiteral("&Connection Settings"));
  tabs_->addTab(program_, QStringLiteral("&Program Settings"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
}

void CMyPropertySheet::SetValues(const Preferences& prefs, const BarVisibility& bars) {
  connection_->Load(prefs);
  program_->Load(prefs, bars);
  tabs_->setCurrentIndex(0);
}

Preferences CMyPropertySheet::EditedPreferences(Preferences prefs) const {
  connection_->Store(prefs);
  program_->Store(prefs);
  return prefs;
}

BarVisibility CMyPropertySheet::EditedBars() const { return program_->Bars(); }

}  // namespace veltrim::ui
