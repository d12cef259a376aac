#include "core/ftp/internet_exception.h"

#include <gtest/gtest.h>

#include <cstring>

namespace veltrim {
namespace {

TEST(InternetException, ErrorMessageIsCutToTheBufferAndFalseWithoutText) {
  CInternetException e(kErrorExtendedError, "550 No such file.");
  char small[8];
  EXPECT_TRUE(e.GetErrorMessage(small, sizeof small));
  EXPECT_STREQ(small, "550 No ");
  char big[1024];
  EXPECT_TRUE(e.GetErrorMessage(big, sizeof big));
  EXPECT_STREQ(big, "550 No such file.");
  // No text: false and an empty buffer.
  std::memset(big, 'x', sizeof big);
  EXPECT_FALSE(CInternetException(kErrorInternal, "").GetErrorMessage(big, sizeof big));
  EXPECT_EQ(big[0], '\0');
}

}  // namespace
}  // namespace veltrim
