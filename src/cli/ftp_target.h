#pragma once
// TARGET of the command line: a .ftp profile file or an ftp:// URL.

#include <stdexcept>
#include <string>

#include "core/profile/server_settings.h"

namespace veltrim::cli {

// A TARGET that cannot be used; what() is one line for the terminal.
class TargetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// SCHEME://[user[:password]@]host[:port][/dir], SCHEME ftp, ftpes or ftps
// (kept in the profile's Hostname: it chooses TLS). User, password and path are
// percent-decoded. No user: an anonymous login. The path is relative to the
// login directory ("%2F" at its start makes it absolute) and becomes the
// profile's RemoteDir.
ServerSettings ParseFtpUrl(const std::string& url);

// Percent-decodes text; throws TargetError for a broken escape, or for NUL,
// CR or LF (they could never be sent in an FTP command).
std::string PercentDecode(const std::string& text, const char* what);

// A URL or a profile file. A profile file that is damaged or cut
// short is refused rather than used half-read.
ServerSettings ResolveTarget(const std::string& target);

}  // namespace veltrim::cli
