#pragma once
// Checks on names that a server sends before they become local paths.

#include <string>

namespace veltrim {

// A name that can be used as one component of a local path: not empty, not
// "." or "..", no "/" and no NUL.
bool IsSafeLocalName(const std::string& name);

// path lies inside folder (or is the folder itself), after resolving "." and
// ".." and any symbolic links that exist on disk.
bool IsInsideFolder(const std::string& path, const std::string& folder);

// A name as it may appear in a log line: control characters (a hostile
// server's line breaks, escape sequences) shown as "?".
std::string PrintableName(const std::string& name);

// folder, a "/" and a name the server sent, when the name is safe and the
// result lies inside folder; empty otherwise.
std::string LocalPathForServerName(const std::string& folder, const std::string& name);

}  // namespace veltrim
