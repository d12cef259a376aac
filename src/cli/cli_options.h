#pragma once
// The command line of veltrimftp-cli:
//   veltrimftp-cli [OPTIONS] TARGET COMMAND [ARGS]

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrim::cli {

enum class TransferMode { Auto, Ascii, Binary };
// --tls, for a host without a scheme: TLS when offered, required, or never.
enum class TlsChoice { Auto, Require, Off };

struct CliOptions {
  TransferMode mode = TransferMode::Auto;
  bool secondConnection = false;
  std::optional<int32_t> timeoutSeconds;
  std::optional<int32_t> retries;
  bool verbose = false;
  TlsChoice tls = TlsChoice::Auto;
  // --fingerprint: the SHA-256 fingerprint ("AB:CD:...") of a certificate to
  // accept although the system does not trust it.
  std::optional<std::string> fingerprint;
  std::string target;
  std::string command;
  bool recursive = false;  // get -r / put -r
  std::vector<std::string> arguments;
};

// Throws UsageError with a one-line text when the command line is wrong.
struct UsageError {
  std::string text;
};

CliOptions ParseCommandLine(const std::vector<std::string>& args);

// The usage text printed for --help and after a usage error.
const char* UsageText();

}  // namespace veltrim::cli
