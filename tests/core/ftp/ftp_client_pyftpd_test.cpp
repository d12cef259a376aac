// The FTP client against a real server (pyftpdlib on 127.0.0.1).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <thread>

#include "core/ftp/ftp_file_find.h"
#include "ftp_test_helpers.h"
#include "support/pyftpd_server.h"

namespace veltrim {
namespace {

using test::ErrorCodeOf;
using test::PyFtpServer;
using test::PyFtpServerOptions;

std::unique_ptr<CFtpConnection> Login(const PyFtpServer& server, CInternetSession& session) {
  session.SetTimeout(std::chrono::seconds(5));
  return session.GetFtpConnection("127.0.0.1", server.User(), server.Password(), server.Port());
}

TEST(FtpClientPyftpd, ArgumentsWithLineBreaksAreRefusedBeforeSending) {
  PyFtpServer server;
  server.WriteFile("victim", "x");
  CInternetSession session;
  auto connection = Login(server, session);
  for (const std::string& bad : {std::string("a\r\nDELE victim"), std::string("a\nDELE victim"),
                                std::string("a\rDELE victim"), std::string("a\0DELE victim", 14)}) {
    EXPECT_FALSE(connection->SetCurrentDirectory(bad));
    EXPECT_EQ(GetLastInternetError(), kErrorInvalidArgument);
    EXPECT_FALSE(connection->CreateDirectory(bad));
    EXPECT_FALSE(connection->Rename(bad, "x"));
    EXPECT_FALSE(connection->Rename("victim", bad));
    EXPECT_EQ(ErrorCodeOf([&] { connection->OpenFile(bad, FileAccess::Read, TransferType::Binary); }),
              kErrorInvalidArgument);
  }
  EXPECT_TRUE(std::filesystem::exists(server.Root() / "victim"));
  std::string directory;
  EXPECT_TRUE(connection->GetCurrentDirectory(directory));
}

struct Listed {
  uint64_t size;
  bool directory;
  bool normal;
  std::string path;
};

std::map<std::string, Listed> ListAll(CFtpConnection& connection) {
  std::map<std::string, Listed> found;
  CFtpFileFind finder(connection);
  bool more = finder.FindFile({}, kFindNoCache);
  while (more) {
    more = finder.FindNextFile();
    found[finder.GetFileName()] = Listed{finder.GetLength(), finder.MatchesMask(kAttributeDirectory),
                                         finder.MatchesMask(kAttributeNormal), finder.GetFilePath()};
  }
  return found;
}

class FtpClientListing : public ::testing::TestWithParam<const char*> {};

TEST_P(FtpClientListing, ListsDirectoriesAndFindsOneFileByPath) {
  PyFtpServerOptions options;
  options.noMlsd = std::string(GetParam()) != "mlsd";
  options.dosListing = std::string(GetParam()) == "dos";
  PyFtpServer server(options);
  server.WriteFile("sub/a.txt", std::string(1234, 'a'));
  server.WriteFile("sub/name with spaces.bin", std::string(7, 'b'));
  server.WriteFile("sub/inner/x", "x");
  std::filesystem::create_directory(server.Root() / "empty");
  CInternetSession session;
  auto connection = Login(server, session);
  const ServerFeatures f = connection->Features();
  EXPECT_EQ(f.mlsd, !options.noMlsd);
  EXPECT_TRUE(f.epsv && f.utf8 && f.size && f.mdtm && f.rest);
  ASSERT_TRUE(connection->SetCurrentDirectory("sub"));

  const auto found = ListAll(*connection);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found.at("a.txt").size, 1234u);
  EXPECT_TRUE(found.at("a.txt").normal);
  EXPECT_FALSE(found.at("a.txt").directory);
  EXPECT_EQ(found.at("a.txt").path, "/sub/a.txt");
  EXPECT_EQ(found.at("name with spaces.bin").size, 7u);
  EXPECT_TRUE(found.at("inner").directory);
  EXPECT_FALSE(found.at("inner").normal);
  EXPECT_EQ(found.at("inner").path, "/sub/inner");

  ASSERT_TRUE(connection->SetCurrentDirectory("/"));
  for (const char* path : {"/sub/a.txt", "sub/a.txt"}) {
    SCOPED_TRACE(path);
    CFtpFileFind finder(*connection);
    ASSERT_TRUE(finder.FindFile(path, 0));
    EXPECT_FALSE(finder.FindNextFile());  // the only entry, still valid
    EXPECT_EQ(finder.GetFileName(), "a.txt");
    EXPECT_EQ(finder.GetFilePath(), "/sub/a.txt");
    EXPECT_EQ(finder.GetLength(), 1234u);
    std::time_t modified = 0;
    EXPECT_TRUE(finder.GetLastWriteTime(modified));
    EXPECT_NEAR(static_cast<double>(modified), static_cast<double>(std::time(nullptr)), 3 * 86400.0);
  }
  CFtpFileFind finder(*connection);
  EXPECT_FALSE(finder.FindFile("/sub/missing.txt", 0));
  ASSERT_TRUE(connection->SetCurrentDirectory("empty"));
  CFtpFileFind emptyFinder(*connection);
  EXPECT_FALSE(emptyFinder.FindFile());
  EXPECT_FALSE(emptyFinder.FindNextFile());
}

INSTANTIATE_TEST_SUITE_P(Formats, FtpClientListing, ::testing::Values("mlsd", "unix", "dos"));

TEST(FtpClientPyftpd, FileSizesAtBlockBoundariesEndWithAShortRead) {
  PyFtpServer server;
  CInternetSession session;
  auto connection = Login(server, session);
  const std::size_t block = 4096;
  const std::size_t bigBlock = 256 * 1024;  // the client's own buffer size
  struct Case {
    std::size_t size;
    std::size_t readSize;
    std::size_t expectedReads;  // the last one short (0 for exact multiples)
  };
  const std::vector<Case> cases = {
      {0, block, 1},        {1, block, 1},          {block, block, 2},          {3 * block, block, 4},
      {block + 1, block, 2}, {bigBlock, block, 65}, {2 * bigBlock, bigBlock, 3}, {bigBlock + 5, 1, bigBlock + 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "size " << c.size << " read size " << c.readSize);
    const std::string content = test::RandomBytes(c.size, static_cast<uint32_t>(c.size));
    server.WriteFile("f.bin", content);
    auto file = connection->OpenFile("f.bin", FileAccess::Read, TransferType::Binary);
    std::string received;
    std::string buffer(c.readSize, '\0');
    std::size_t reads = 0;
    while (true) {
      const std::size_t got = file->Read(buffer.data(), c.readSize);
      ++reads;
      received.append(buffer.data(), got);
      if (got < c.readSize) break;
    }
    file->Close();
    EXPECT_EQ(reads, c.expectedReads);
    EXPECT_TRUE(received == content);
  }
}

// pyftpdlib keeps text files with "\n" on disk and sends CRLF in TYPE A, so
// what arrives must equal what is on disk; the exact bytes on the wire are
// checked against the scripted server.
TEST(FtpClientPyftpd, AsciiTransfersRoundTripTextFiles) {
  PyFtpServer server;
  CInternetSession session;
  auto connection = Login(server, session);
  const std::vector<std::string> texts = {
      "",  // an empty file goes up and down too
      "a\nb\n",
      "lone\rcr\n",
      "no end",
      "\n\n\n",
      // The CR that the server adds lands exactly at the end of the client's buffer.
      std::string(256 * 1024 - 1, 'x') + "\ntail\n",
      std::string(256 * 1024, 'x') + "\n",
  };
  for (const auto& text : texts) {
    SCOPED_TRACE(testing::Message() << "text of " << text.size() << " bytes");
    server.WriteFile("text.txt", text);
    for (std::size_t block : {std::size_t{1}, std::size_t{4096}}) {
      auto file = connection->OpenFile("text.txt", FileAccess::Read, TransferType::Ascii);
      EXPECT_TRUE(test::ReadAll(*file, block) == text);
      file->Close();
    }
    auto file = connection->OpenFile("up.txt", FileAccess::Write, TransferType::Ascii);
    test::WriteAll(*file, text, 7);
    file->Close();
    ASSERT_TRUE(std::filesystem::exists(server.Root() / "up.txt"));
    EXPECT_TRUE(server.ReadFile("up.txt") == text);
    std::filesystem::remove(server.Root() / "up.txt");
  }
  // Binary after ASCII: the type is switched back and nothing is converted.
  server.WriteFile("bin", "a\r\nb\n");
  auto file = connection->OpenFile("bin", FileAccess::Read, TransferType::Binary);
  EXPECT_EQ(test::ReadAll(*file, 100), "a\r\nb\n");
  file->Close();
}

// A download aborted in the middle or after its last byte, an upload
// aborted, a file that cannot be opened: the connection stays in step.
TEST(FtpClientPyftpd, AbortsAndRefusalsLeaveTheConnectionUsable) {
  PyFtpServer server;
  server.WriteFile("big.bin", test::RandomBytes(8 * 1024 * 1024, 3));
  server.WriteFile("small", "hello");
  CInternetSession session;
  auto connection = Login(server, session);
  for (int round = 0; round < 3; ++round) {
    auto download = connection->OpenFile("big.bin", FileAccess::Read, TransferType::Binary);
    char block[4096];
    ASSERT_EQ(download->Read(block, sizeof block), sizeof block);
    download->Abort();
    EXPECT_TRUE(connection->CreateDirectory("dir" + std::to_string(round)));
    auto upload = connection->OpenFile("partial.bin", FileAccess::Write, TransferType::Binary);
    upload->Write(block, sizeof block);
    upload->Abort();
    EXPECT_TRUE(connection->RemoveDirectory("dir" + std::to_string(round)));
  }
  auto file = connection->OpenFile("small", FileAccess::Read, TransferType::Binary);
  EXPECT_EQ(test::ReadAll(*file, 4096), "hello");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the 226 is already on its way
  file->Abort();
  std::string text;
  EXPECT_EQ(ErrorCodeOf([&] { connection->OpenFile("missing", FileAccess::Read, TransferType::Binary); }, &text),
            kErrorExtendedError);
  EXPECT_EQ(text.rfind("550 ", 0), 0u) << text;
  EXPECT_FALSE(connection->SetCurrentDirectory("missing"));
  EXPECT_EQ(connection->LastReply().rfind("550 ", 0), 0u) << connection->LastReply();
  std::string directory;
  EXPECT_TRUE(connection->GetCurrentDirectory(directory));
  EXPECT_EQ(directory, "/");
}

}  // namespace
}  // namespace veltrim
