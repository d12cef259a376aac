// The FTP client against a real server (pyftpdlib on 127.0.0.1).

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <thread>
#include <tuple>

#include "core/ftp/ftp_file_find.h"
#include "ftp_test_helpers.h"
#include "support/pyftpd_server.h"

namespace veltrim {
namespace {

using test::PyFtpServer;
using test::PyFtpServerOptions;

std::unique_ptr<CFtpConnection> Login(const PyFtpServer& server, CInternetSession& session) {
  session.SetTimeout(std::chrono::seconds(5));
  return session.GetFtpConnection("127.0.0.1", server.User(), server.Password(), server.Port());
}

// MLSD, and LIST where the server hides it; one file by its path (MLST, or
// LIST of the file).
class FtpClientListing : public ::testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(MlsdAndList, FtpClientListing, ::testing::Bool());

TEST_P(FtpClientListing, ListsDirectoriesAndFindsOneFileByPath) {
  PyFtpServerOptions options;
  options.noMlsd = !GetParam();
  PyFtpServer server(options);
  server.WriteFile("sub/a.txt", std::string(1234, 'a'));
  server.WriteFile("sub/name with spaces.bin", std::string(7, 'b'));
  server.WriteFile("sub/inner/x", "x");
  std::filesystem::create_directory(server.Root() / "empty");
  CInternetSession session;
  auto connection = Login(server, session);
  EXPECT_EQ(connection->Features().mlsd, GetParam());
  ASSERT_TRUE(connection->SetCurrentDirectory("sub"));

  using Found = std::tuple<uint64_t, bool, std::string>;  // size, directory, path
  std::map<std::string, Found> found;
  CFtpFileFind lister(*connection);
  for (bool more = lister.FindFile({}, kFindNoCache); more;) {
    more = lister.FindNextFile();
    found[lister.GetFileName()] = {lister.GetLength(), lister.MatchesMask(kAttributeDirectory), lister.GetFilePath()};
  }
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found.at("a.txt"), (Found{1234, false, "/sub/a.txt"}));
  EXPECT_EQ(std::get<0>(found.at("name with spaces.bin")), 7u);
  EXPECT_TRUE(std::get<1>(found.at("inner")));
  EXPECT_EQ(std::get<2>(found.at("inner")), "/sub/inner");

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
  EXPECT_FALSE(finder.FindFile());
  EXPECT_FALSE(finder.FindNextFile());
}

// A download aborted in the middle or after its last byte, an upload
// aborted: the connection stays in step.
TEST(FtpClientPyftpd, AbortsLeaveTheConnectionUsable) {
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
  std::string directory;
  EXPECT_TRUE(connection->GetCurrentDirectory(directory));
  EXPECT_EQ(directory, "/");
}

}  // namespace
}  // namespace veltrim
