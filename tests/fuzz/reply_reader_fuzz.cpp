// The control connection's reply reader on any bytes a server may send, in
// any pieces: the same replies (or the same protocol error) however the
// bytes are split, every line within its bound and free of NUL, and never
// more than one bounded line held between reads.

#include <optional>
#include <string>
#include <vector>

#include "core/ftp/internet_exception.h"
#include "core/ftp/reply.h"
#include "fuzz_promise.h"

namespace {

using veltrim::CInternetException;
using veltrim::ftp::Reply;
using veltrim::ftp::ReplyAssembler;
using veltrim::fuzz::Promise;

struct Outcome {
  std::vector<std::pair<int, std::vector<std::string>>> replies;
  std::optional<std::string> error;
  bool operator==(const Outcome&) const = default;
};

void CheckReply(const Reply& reply) {
  Promise(reply.code >= 100 && reply.code <= 699, "a reply code is 1xx to 6xx");
  Promise(!reply.lines.empty() && reply.lines.size() <= ReplyAssembler::kMaxReplyLines, "a reply has 1..kMaxReplyLines lines");
  for (const auto& line : reply.lines) {
    Promise(line.size() <= ReplyAssembler::kMaxLineLength, "a line is cut at the bound");
    Promise(line.find_first_of(std::string_view("\0\n", 2)) == std::string::npos, "a line holds no NUL or LF");
  }
  Promise(reply.lines.front().compare(0, 3, std::to_string(reply.code)) == 0, "the first line starts with the code");
}

Outcome Assemble(std::string_view bytes, std::size_t piece) {
  Outcome outcome;
  ReplyAssembler assembler;
  try {
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      assembler.Feed(bytes.substr(at, piece));
      while (auto reply = assembler.Next()) {
        CheckReply(*reply);
        outcome.replies.emplace_back(reply->code, reply->lines);
      }
      Promise(assembler.BufferedBytes() <= ReplyAssembler::kMaxLineLength + 1, "at most one bounded line is held");
    }
  } catch (const CInternetException& e) {
    Promise(e.ErrorCode() == veltrim::kErrorProtocol, "the reader fails only with a protocol error");
    outcome.error = e.Text();
  }
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose the piece size of the split reading.
  const std::size_t piece = 1 + ((std::size_t{data[0]} << 8 | data[1]) % 20000);
  const std::string_view bytes = veltrim::fuzz::Bytes(data + 2, size - 2);
  Promise(Assemble(bytes, bytes.size() + 1) == Assemble(bytes, piece), "replies do not depend on how bytes arrive");
  return 0;
}
