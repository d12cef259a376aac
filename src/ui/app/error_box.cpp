#include "ui/app/error_box.h"

#include "ui/app/sound_player.h"
#include "ui/app/string_table.h"
#include "ui/dialogs/prompts.h"

namespace veltrim::ui {
namespace {

// The length of the box's closing line; no wrapped line is much longer.
constexpr int kLineLimit = 74;

}  // namespace

QString WrapErrorMessage(const QString& message) {
  QString wrapped = message;
  int lineLength = 0;
  qsizetype lastBlank = -1;
  for (qsizetype pos = 0; pos < wrapped.size(); ++pos) {
    if (wrapped.at(pos) == QLatin1Char(' ')) lastBlank = pos;
    if (lineLength > kLineLimit && lastBlank >= 0) {
      wrapped[lastBlank] = QLatin1Char('\n');
      lineLength = 0;
    }
    ++lineLength;
  }
  return wrapped;
}

QString ErrorBoxText(unsigned id) {
  return QStringLiteral("The following error has occurred:\n\n") +
         WrapErrorMessage(LoadMessage(id)) +
         QStringLiteral(
             "\n\nIf you feel this is an error, please contact your system administrator.\n") +
         QString::number(id);
}

void ShowErrorBox(QWidget* owner, unsigned id, const QString& detail) {
  PlaySound(QStringLiteral("error.wav"));
  if (detail.isEmpty())
    ShowMessage(owner, QMessageBox::Critical, QStringLiteral("Error"), ErrorBoxText(id));
  else
    Prompts().MessageWithDetail(owner, QMessageBox::Critical, QStringLiteral("Error"), ErrorBoxText(id), detail);
}

}  // namespace veltrim::ui
