#pragma once
// Where View and Edit put their copies of remote files: a private folder
// (mode 0700, owned by the user, not a symbolic link) under the user's
// runtime directory, or under the cache directory when the session has
// none. Other users cannot read a copy or slip a file in its place.

#include <QString>

namespace veltrim::ui {

// The folder, made or checked on each call; empty, with the reason in
// error, when no private folder can be had.
QString PrivateCopyFolder(QString* error = nullptr);

// The local name of a copy of a remote file: the name itself when it can be
// one component of a local path; otherwise "/" and NUL become "_" and an
// empty, "." or ".." name gets a leading "_".
QString SafeCopyName(const QString& remoteName);

}  // namespace veltrim::ui
