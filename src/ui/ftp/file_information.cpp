#include "ui/ftp/file_information.h"

#include "core/engine/error_ids.h"
#include "ui/app/main_frame.h"
#include "ui/dialogs/prompts.h"
#include "ui/ftp/live_session.h"
#include "ui/ftp/remote_navigator.h"
#include "ui/shared/command_ids.h"
#include "ui/views/remote_entry_model.h"
#include "ui/views/remote_list_view.h"

namespace veltrim::ui {

namespace {

constexpr char kIndexName[] = "00_index.txt";

QString Caption(const QString& subject) { return QStringLiteral("File Information [") + subject + QLatin1Char(']'); }

void ShowEntry(QWidget* owner, const QString& subject, const QString& text) {
  ShowMessage(owner, QMessageBox::NoIcon, Caption(subject), text);
}

}  // namespace

QStringList IndexEntries(const std::string& text) {
  QStringList entries;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    QString entry = QString::fromStdString(text.substr(start, end - start));
    entry.remove(QLatin1Char('\r'));
    entries << entry;
    start = end + 1;
  }
  return entries;
}

std::optional<QString> FindIndexEntry(const QStringList& entries, const QString& name) {
  for (const QString& entry : entries)
    if (entry.startsWith(name, Qt::CaseInsensitive)) return entry;
  return std::nullopt;
}

FileInformation::FileInformation(CMainFrame& frame, const LiveSession& live, RemoteNavigator& navigator)
    : frame_(frame), live_(live), view_(*frame.View()), list_(view_.Rows()) {
  // Each directory has its own index.
  connect(&navigator, &RemoteNavigator::ListingShown, this, [this] { entries_.reset(); });
}

void FileInformation::InstallCommands() {
  frame_.SetCommandHandler(ID_FILE_INFORMATION, [this] { OnFileInformation(); });
}

void FileInformation::OnFileInformation() {
  const std::shared_ptr<CFtpSession> session = live_.Get();
  if (!session || !session->Listing().HasIndexFile) return;
  if (!entries_) {
    if (!live_.BeginWork()) return;
    // Read into memory, not into a shared local file: a copy left from
    // another directory can never answer for this one.
    const std::string text = session->ReadTextFile(live_.Prefix().toStdString() + kIndexName);
    if (live_.Gone(session)) return;
    if (session->LastFailure().IsSet()) {
      // Tried again next time: the box says why not now.
      frame_.ShowError(kErrDownloadFile);
      return;
    }
    entries_ = IndexEntries(text);
  }
  const int row = view_.FirstSelectedRow();
  if (row < 0) {
    ShowEntry(&frame_, QStringLiteral("Invalid Selection"), entries_->value(0));
    return;
  }
  const QString name = list_.Row(row).name.toLower();
  const std::optional<QString> entry = FindIndexEntry(*entries_, name);
  ShowEntry(&frame_, name,
            entry ? *entry
                  : QStringLiteral("We could not find any information specific to this filename in the "
                                   "00_index.txt file"));
}

}  // namespace veltrim::ui
