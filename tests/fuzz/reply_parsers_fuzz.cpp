// The parsers of reply texts (PWD, EPSV, PASV, SIZE, MDTM, FEAT) on any
// line: a directory is never empty and comes back from its own quoting,
// a port is never 0, a time never lies past the year 9999.

#include <string>

#include "core/ftp/reply.h"
#include "core/ftp/reply_parsers.h"
#include "fuzz_promise.h"

using veltrim::fuzz::Promise;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  namespace ftp = veltrim::ftp;
  const std::string_view line = veltrim::fuzz::Bytes(data, size);

  if (const auto directory = ftp::ParseDirectoryReply(line)) Promise(!directory->empty(), "a directory is not empty");
  if (const auto port = ftp::ParseExtendedPassivePort(line)) Promise(*port != 0, "an EPSV port is not 0");
  if (const auto port = ftp::ParsePassivePort(line)) Promise(*port != 0, "a PASV port is not 0");
  ftp::ParseSizeReply(line);
  if (const auto time = ftp::ParseModificationTimeReply(line)) Promise(*time <= 253402300799, "MDTM stays within year 9999");

  ftp::Reply reply;
  reply.code = 211;
  for (std::size_t start = 0; start <= line.size();) {
    const std::size_t end = std::min(line.find('\n', start), line.size());
    reply.lines.emplace_back(line.substr(start, end - start));
    start = end + 1;
  }
  ftp::ParseFeatures(reply);

  // Any path without a line break or NUL survives the server's quoting.
  if (!line.empty() && !ftp::HasLineBreakOrNul(line)) {
    std::string quoted = "257 \"";
    for (char c : line) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    quoted += "\" is the current directory.";
    Promise(ftp::ParseDirectoryReply(quoted) == std::string(line), "a quoted directory reads back unchanged");
  }
  return 0;
}
