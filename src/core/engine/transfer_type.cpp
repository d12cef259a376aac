// The transfer-type decision and the type text of queued files.
#include <cctype>

#include "core/engine/ftp_session.h"

namespace veltrim {

std::vector<std::string> DefaultTextExtensions() {
  return {".txt", ".me", ".htm", ".shtml", ".html", ".asp", ""};
}

bool IsBinaryTransferFor(const std::string& name, bool autoMode, bool binaryMode,
                         const std::vector<std::string>& extensions) {
  if (!autoMode) return binaryMode;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return true;
  std::string extension = name.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string& candidate : extensions) {
    if (candidate.empty()) break;  // the end marker
    if (candidate == extension) return false;
  }
  return true;
}

std::string FallbackTypeText(const std::string& source) {
  const std::size_t dot = source.rfind('.');
  if (dot == std::string::npos || dot == 0) return "File";
  std::string type = source.substr(dot + 1);
  for (char& c : type) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return type + " File";
}

}  // namespace veltrim
