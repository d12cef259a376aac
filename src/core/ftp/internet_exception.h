#pragma once
// The one error type of the FTP client: an error code and the text to show.

#include <cstddef>
#include <exception>
#include <string>

namespace veltrim {

// Error codes carried by CInternetException and the thread's last error.
// The numbers follow the conventions that desktop FTP tooling reports.
enum InternetError : int {
  kErrorNone = 0,
  kErrorTimeout = 12002,           // a network wait ran past its deadline
  kErrorExtendedError = 12003,     // the server answered with an error reply
  kErrorInternal = 12004,
  kErrorInvalidUrl = 12005,
  kErrorNameNotResolved = 12007,
  kErrorCertificateRefused = 12045,  // the server's certificate was not accepted
  kErrorInvalidArgument = 12009,   // e.g. CR, LF or NUL inside a path
  kErrorLoginFailure = 12015,
  kErrorOperationCancelled = 12017,  // closed from another thread
  kErrorCannotConnect = 12029,
  kErrorConnectionAborted = 12030,   // the peer closed or reset the connection
  kErrorProtocol = 12111,            // a reply or listing we cannot accept
  kErrorLocalFile = 12150,           // a local file could not be read or written
  kErrorSecureChannel = 12157,       // TLS failed, was refused or was cut short
};

class CInternetException : public std::exception {
 public:
  CInternetException(int errorCode, std::string text);

  int ErrorCode() const noexcept { return errorCode_; }
  const std::string& Text() const noexcept { return text_; }
  const char* what() const noexcept override { return text_.c_str(); }

  // Copies the text into buffer (always zero-terminated, cut to fit).
  // Returns false, with an empty buffer, when the exception carries no text.
  bool GetErrorMessage(char* buffer, std::size_t bufferSize) const noexcept;

 private:
  int errorCode_;
  std::string text_;
};

// The calling thread's last error: set by every CFtpConnection operation that
// returns false (12003 when the server refused), cleared on success.
int GetLastInternetError() noexcept;
void SetLastInternetError(int code) noexcept;

}  // namespace veltrim
