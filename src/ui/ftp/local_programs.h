#pragma once
// The one seam through which the program starts local programs: the
// desktop's plain-text editor and the program the desktop associates with a
// file's type (View File, Edit File and their "Associated Viewer" forms).
// Programs are only started, never waited for. Tests install their own
// LocalPrograms (one that edits the file it is given, say) with
// ScopedLocalPrograms, as they do with prompters.

#include <QString>
#include <QStringList>

namespace veltrim::ui {

class LocalPrograms {
 public:
  virtual ~LocalPrograms() = default;

  // Starts the desktop's plain-text editor on path. False when none could be
  // started.
  virtual bool OpenInTextEditor(const QString& path) = 0;
  // Opens path with the program the desktop associates with its type. False
  // when the desktop could not.
  virtual bool OpenWithAssociatedProgram(const QString& path) = 0;
};

// The real thing: the default application for text/plain (or a known
// editor on the PATH), and QDesktopServices.
class DesktopPrograms final : public LocalPrograms {
 public:
  bool OpenInTextEditor(const QString& path) override;
  bool OpenWithAssociatedProgram(const QString& path) override;
};

// The programs in force: the innermost ScopedLocalPrograms, else DesktopPrograms.
LocalPrograms& Programs();

// Installs programs for its lifetime and restores the previous ones after.
// Not owning.
class ScopedLocalPrograms {
 public:
  explicit ScopedLocalPrograms(LocalPrograms& programs);
  ~ScopedLocalPrograms();
  ScopedLocalPrograms(const ScopedLocalPrograms&) = delete;
  ScopedLocalPrograms& operator=(const ScopedLocalPrograms&) = delete;

 private:
  LocalPrograms* previous_;
};

// The command line of a desktop entry's Exec value for one local file: the
// words (double quotes group, a backslash escapes inside them), %f %F %u %U
// replaced by path (path appended when there is none of them), %% by "%",
// the other field codes dropped. Empty when exec holds no program.
QStringList DesktopExecCommand(const QString& exec, const QString& path);

}  // namespace veltrim::ui
