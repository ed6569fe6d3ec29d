// Style words edited by name, as qv do writes them: +NAME sets, -NAME clears, 0xHEX replaces,
// and names only the style editors' boxes have.
#include <gtest/gtest.h>

#include "operations/StyleBits.h"

namespace {

using operations::EditStyleWordText;
using operations::WindowStyleBits;
using operations::WindowStyleExBits;

TEST(StyleNames, PlusMinusAndHexOverTheEditorsNames) {
  std::string reason;
  const DWORD word = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  EXPECT_EQ(word & ~WS_CAPTION, *EditStyleWordText(word, WindowStyleBits(), "-WS_CAPTION", &reason));
  EXPECT_EQ(word | WS_BORDER, *EditStyleWordText(word, WindowStyleBits(), "+ws_border", &reason));
  // Either name of a box that has two.
  EXPECT_EQ(word & ~WS_MINIMIZEBOX, *EditStyleWordText(word, WindowStyleBits(), "-WS_MINIMIZEBOX", &reason));
  EXPECT_EQ(word & ~WS_GROUP, *EditStyleWordText(word, WindowStyleBits(), "-WS_GROUP", &reason));
  EXPECT_EQ(word | WS_ICONIC, *EditStyleWordText(word, WindowStyleBits(), "+WS_ICONIC", &reason));
  EXPECT_EQ(0x12345678u, *EditStyleWordText(word, WindowStyleBits(), "0x12345678", &reason));
  EXPECT_EQ(WS_EX_TOOLWINDOW | WS_EX_LAYERED,
            *EditStyleWordText(WS_EX_LAYERED, WindowStyleExBits(), "+WS_EX_TOOLWINDOW", &reason));
  // Each word's names belong to its own table; nothing else is a style.
  for (const char* wrong : {"+WS_EX_TOOLWINDOW", "WS_BORDER", "+WS_NOSUCH", "+", "0x", "0x123456789", "0xZZ",
                            "-WS_MINIMIZE/WS_ICONIC", "+WS_"}) {
    reason.clear();
    EXPECT_FALSE(EditStyleWordText(word, WindowStyleBits(), wrong, &reason)) << wrong;
    EXPECT_NE(std::string::npos, reason.find("+NAME, -NAME or 0xHEX")) << wrong;
  }
  EXPECT_FALSE(EditStyleWordText(0, WindowStyleExBits(), "+WS_BORDER", &reason));
}

}  // namespace
