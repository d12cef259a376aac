#include "core/ftp/internet_exception.h"

#include <gtest/gtest.h>

#include <cstring>

namespace veltrim {
namespace {

TEST(InternetException, ErrorMessageIsCutToTheBuffer) {
  CInternetException e(kErrorExtendedError, "550 No such file.");
  char small[8];
  EXPECT_TRUE(e.GetErrorMessage(small, sizeof small));
  EXPECT_STREQ(small, "550 No ");
  char big[1024];
  EXPECT_TRUE(e.GetErrorMessage(big, sizeof big));
  EXPECT_STREQ(big, "550 No such file.");
}

TEST(InternetException, NoTextMeansFalseAndAnEmptyBuffer) {
  CInternetException e(kErrorInternal, "");
  char buffer[16];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_FALSE(e.GetErrorMessage(buffer, sizeof buffer));
  EXPECT_EQ(buffer[0], '\0');
}

}  // namespace
}  // namespace veltrim
