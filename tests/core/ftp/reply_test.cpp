// Reply assembly and the parsers of reply texts, over bytes only.

#include <gtest/gtest.h>

#include <tuple>

#include "core/ftp/internet_exception.h"
#include "core/ftp/reply.h"
#include "core/ftp/reply_parsers.h"

namespace veltrim::ftp {
namespace {

struct AssemblyCase {
  const char* name;
  std::string bytes;
  std::vector<std::pair<int, std::string>> replies;  // code, Text()
};

// Every case is fed whole and split at every position, so that replies cut
// anywhere by the network come out the same.
TEST(ReplyAssembler, AssemblesRepliesHoweverTheBytesAreSplit) {
  const std::vector<AssemblyCase> cases = {
      {"one line", "220 Ready.\r\n", {{220, "220 Ready."}}},
      {"bare code", "200\r\n", {{200, "200"}}},
      {"LF only", "250 OK\n", {{250, "250 OK"}}},
      {"multi-line", "211-Features:\r\n MDTM\r\n SIZE\r\n211 End\r\n", {{211, "211-Features:\n MDTM\n SIZE\n211 End"}}},
      {"inner lines that look like other codes",
       "220-Hello\r\n331 not the end\r\n220-still going\r\n220 Done\r\n",
       {{220, "220-Hello\n331 not the end\n220-still going\n220 Done"}}},
      {"two replies back to back", "150 Go.\r\n226 Done.\r\n", {{150, "150 Go."}, {226, "226 Done."}}},
      {"empty lines between replies are skipped", "\r\n200 A\r\n\r\n200 B\r\n", {{200, "200 A"}, {200, "200 B"}}},
      {"NUL inside a line is made visible", std::string("200 a\0b\r\n", 9), {{200, "200 a?b"}}},
      {"unfinished reply yields nothing", "220-Hello\r\n220 Almost", {}},
  };
  for (const auto& c : cases) {
    for (std::size_t split = 0; split <= c.bytes.size(); ++split) {
      SCOPED_TRACE(testing::Message() << c.name << ", split at " << split);
      ReplyAssembler assembler;
      std::vector<std::pair<int, std::string>> got;
      for (auto part : {c.bytes.substr(0, split), c.bytes.substr(split)}) {
        assembler.Feed(part);
        while (auto reply = assembler.Next()) got.emplace_back(reply->code, reply->Text());
      }
      EXPECT_EQ(got, c.replies);
    }
  }
}

// A line over the bound keeps its first kMaxLineLength bytes, whatever
// pieces it arrives in; what follows it is read as usual, and the assembler
// never holds more than one bounded line.
TEST(ReplyAssembler, CutsOverlongLinesHoweverTheyArrive) {
  const std::size_t bound = ReplyAssembler::kMaxLineLength;
  const std::string exact = "220 " + std::string(bound - 4, 'x');
  const std::string over = "220 " + std::string(bound - 3, 'y');
  const std::string huge = "220-" + std::string(100 * 1024, 'z');
  const std::vector<AssemblyCase> cases = {
      {"exactly the bound", exact + "\r\n200 Next\r\n", {{220, exact}, {200, "200 Next"}}},
      {"one byte over", over + "\r\n200 Next\r\n", {{220, over.substr(0, bound)}, {200, "200 Next"}}},
      {"a CR past the bound is no line end", exact + "\r\r\n200 Next\r\n", {{220, exact}, {200, "200 Next"}}},
      {"100 KiB line in a multi-line reply", huge + "\r\n220 End\r\n", {{220, huge.substr(0, bound) + "\n220 End"}}},
  };
  for (const auto& c : cases) {
    for (std::size_t piece : {std::size_t{1000}, bound - 1, bound, bound + 1, bound + 2, std::size_t{16384}, c.bytes.size()}) {
      SCOPED_TRACE(testing::Message() << c.name << ", pieces of " << piece);
      ReplyAssembler assembler;
      std::vector<std::pair<int, std::string>> got;
      for (std::size_t at = 0; at < c.bytes.size(); at += piece) {
        assembler.Feed(std::string_view(c.bytes).substr(at, piece));
        while (auto reply = assembler.Next()) got.emplace_back(reply->code, reply->Text());
        EXPECT_LE(assembler.BufferedBytes(), bound + 1);
      }
      EXPECT_EQ(got, c.replies);
    }
  }
}

TEST(ReplyAssembler, RejectsWhatIsNotAReplyOrTooLong) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"text without a code", "hello\r\n"},
      {"short code", "22 Ready\r\n"},
      {"no such kind of reply", "000 Ready\r\n"},
      {"code followed by a letter", "220Ready\r\n"},
      {"too many lines", [] {
         std::string bytes = "220-start\r\n";
         for (std::size_t i = 0; i < ReplyAssembler::kMaxReplyLines + 1; ++i) bytes += " more\r\n";
         return bytes;
       }()},
      {"too many bytes", [] {
         std::string bytes = "220-start\r\n";
         for (int i = 0; i < 300; ++i) bytes += std::string(8000, 'y') + "\r\n";
         return bytes;
       }()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReplyAssembler assembler;
    int code = 0;
    try {
      // Fed in network-sized pieces, as the control channel does.
      for (std::size_t at = 0; at < c.bytes.size(); at += 16384) {
        assembler.Feed(std::string_view(c.bytes).substr(at, 16384));
        while (assembler.Next()) {
        }
      }
    } catch (const CInternetException& e) {
      code = e.ErrorCode();
    }
    EXPECT_EQ(code, kErrorProtocol);
  }
}

TEST(ReplyParsers, DirectoryReply) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
      {"257 \"/\" is current directory.", "/"},
      {"257 \"/a \"\"quoted\"\" dir\" created", "/a \"quoted\" dir"},
      {"257 \"/ends with quote\"\"\"", "/ends with quote\""},
      {"257 \"name with spaces\" ok", "name with spaces"},
      {"257 no quotes", std::nullopt},
      {"257 /home/me is the current directory", "/home/me"},
      {"257", std::nullopt},
      {"257 \"unterminated", std::nullopt},
      {"257 \"\" empty", std::nullopt},
  };
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(ParseDirectoryReply(line), expected) << line;
  }
}

TEST(ReplyParsers, ExtendedPassivePort) {
  const std::vector<std::pair<std::string, std::optional<uint16_t>>> cases = {
      {"229 Entering Extended Passive Mode (|||6446|)", 6446},
      {"229 (!!!1!)", 1},
      {"229 Entering Extended Passive Mode (|||65535|)", 65535},
      {"229 Entering Extended Passive Mode (|||65536|)", std::nullopt},
      {"229 Entering Extended Passive Mode (|||0|)", std::nullopt},
      {"229 Entering Extended Passive Mode (||6446|)", std::nullopt},
      {"229 Entering Extended Passive Mode (|||6446)", std::nullopt},
      {"229 Entering Extended Passive Mode |||6446|", std::nullopt},
      {"229 (", std::nullopt},
  };
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(ParseExtendedPassivePort(line), expected) << line;
  }
}

TEST(ReplyParsers, PassivePortIgnoresTheAddress) {
  const std::vector<std::pair<std::string, std::optional<uint16_t>>> cases = {
      {"227 Entering Passive Mode (127,0,0,1,4,1)", 1025},
      {"227 Entering Passive Mode (10,255,255,1,255,255).", 65535},
      {"227 Entering Passive Mode 192,168,1,2,19,137", 5001},
      {"227 Entering Passive Mode (127,0,0,1,0,0)", std::nullopt},
      {"227 Entering Passive Mode (127,0,0,1,256,1)", std::nullopt},
      {"227 Entering Passive Mode (127,0,0,1,4)", std::nullopt},
      {"227 Entering Passive Mode", std::nullopt},
      {"227 Entering Passive Mode (1,2,3,4,5,6,7)", std::nullopt},
  };
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(ParsePassivePort(line), expected) << line;
  }
}

TEST(ReplyParsers, SizeAndModificationTime) {
  const std::vector<std::tuple<std::string, std::optional<uint64_t>, std::optional<std::time_t>>> cases = {
      {"213 1048576", 1048576, std::nullopt},
      {"213 18446744073709551615 ", 18446744073709551615ull, std::nullopt},
      {"213 18446744073709551616", std::nullopt, std::nullopt},
      {"213 20261206182100", 20261206182100ull, 1796581260},
      {"213 20261206182100.250", std::nullopt, 1796581260},
      {"213 99991231235960", 99991231235960ull, 253402300799},
      {"213 20261306182100", 20261306182100ull, std::nullopt},
      {"213 -1", std::nullopt, std::nullopt},
      {"550 No such file", std::nullopt, std::nullopt},
  };
  for (const auto& [line, size, time] : cases) {
    EXPECT_EQ(ParseSizeReply(line), size) << line;
    EXPECT_EQ(ParseModificationTimeReply(line), time) << line;
  }
}

TEST(ReplyParsers, Features) {
  Reply reply;
  reply.code = 211;
  reply.lines = {"211-Features:", " MLST type*;size*;modify*;", " eprt", " EPSV", " UTF8", " SIZE", " MDTM",
                 " REST STREAM", " TVFS", "211 End"};
  ServerFeatures f = ParseFeatures(reply);
  EXPECT_TRUE(f.mlsd && f.epsv && f.utf8 && f.size && f.mdtm && f.rest);

  reply.lines = {"211-Features:", " MLSTX", " SIZEABLE", " LANG EN", "211 End"};
  f = ParseFeatures(reply);
  EXPECT_FALSE(f.mlsd || f.epsv || f.utf8 || f.size || f.mdtm || f.rest);

  reply.code = 500;
  reply.lines = {"500 FEAT not understood"};
  f = ParseFeatures(reply);
  EXPECT_FALSE(f.mlsd || f.epsv);
}

TEST(ReplyParsers, LineBreaksAndNulAreUnsafe) {
  for (const auto& [text, unsafe] : std::vector<std::pair<std::string, bool>>{
           {"plain name with spaces.txt", false}, {"", false}, {"a\r", true}, {"a\nb", true}, {std::string("a\0b", 3), true}}) {
    EXPECT_EQ(HasLineBreakOrNul(text), unsafe) << text;
  }
}

}  // namespace
}  // namespace veltrim::ftp
