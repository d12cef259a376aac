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

}  // namespace veltrim
