// The one-line form of a failure reason, as the command line prints it.
#include "core/engine/failure_reason.h"

#include <gtest/gtest.h>

namespace veltrim {
namespace {

TEST(FailureReason, OneLineAddsTheDetailOnceAndFlattensReplies) {
  const struct {
    FailureReason reason;
    std::string line;
  } cases[] = {
      {FailureWithDetail("Cannot read /a.", "550 No such file."), "Cannot read /a. (550 No such file.)"},
      {FailureWithDetail("Error connecting to host: 530 Login incorrect.", "530 Login incorrect."),
       "Error connecting to host: 530 Login incorrect."},
      {FailureWithDetail("Failed.", "550-First line\r\n550 Last line\r\n"), "Failed. (550-First line 550 Last line)"},
      {FailureWithDetail("", "Connection refused"), "Connection refused"},
      {MakeFailure(FailureKind::TimedOut, "Connection timed out."), "Connection timed out."},
  };
  for (const auto& c : cases) EXPECT_EQ(c.reason.OneLine(), c.line);
}

TEST(FailureReason, ServerRepliesAreToldFromSystemTexts) {
  const std::pair<const char*, bool> cases[] = {
      {"550 No such file.", true}, {"421-Going down", true}, {"2024 was a year", false}, {"Connection refused", false}};
  for (const auto& [text, reply] : cases) EXPECT_EQ(FailureWithDetail("x", text).ServerReply.empty(), !reply) << text;
}

}  // namespace
}  // namespace veltrim
