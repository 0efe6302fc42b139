#include "pages/frm_about.h"

#include <gtest/gtest.h>

#include "com/module_lock.h"
#include "tests/pages/page_host.h"

namespace marelco::pages {
namespace {

using testing::FindDescendant;
using testing::PumpMessages;
using testing::TextOf;

BOOL CALLBACK CountAboutBox(HWND window, LPARAM count) {
  if (testing::TextOf(window).starts_with(L"About ")) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int AboutBoxesOfThisThread() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountAboutBox, reinterpret_cast<LPARAM>(&count));
  return count;
}

HWND Label(const wchar_t* text) { return FindDescendant(AboutWindow(), L"Static", text); }

class FrmAboutTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (AboutWindow()) DestroyWindow(AboutWindow());
    PumpMessages();
  }
};

TEST_F(FrmAboutTest, LoadFillsTheCaptionAndTheLabelsFromTheVersionBlock) {
  ASSERT_EQ(ShowAbout(), S_OK);
  HWND box = AboutWindow();
  ASSERT_TRUE(IsWindowVisible(box));
  EXPECT_EQ(TextOf(box), L"About Marelco");
  EXPECT_TRUE(Label(L"Version 2.5.17"));  // major, minor and revision of 2.5.3.17
  EXPECT_TRUE(Label(L"Marelco"));
  EXPECT_TRUE(Label(L"Pages test program"));
  EXPECT_TRUE(Label(L"Marelco Software \u00AE"));
  EXPECT_EQ(GetFocus(), FindDescendant(box, L"Button", L"OK"));
  EXPECT_TRUE(SendMessageW(box, WM_GETICON, ICON_BIG, 0));
  EXPECT_TRUE(SendMessageW(FindDescendant(box, L"Static", L""), STM_GETICON, 0, 0));
}

TEST_F(FrmAboutTest, AboutTwiceShowsOneBoxWithoutReloadingIt) {
  ASSERT_EQ(ShowAbout(), S_OK);
  HWND box = AboutWindow();
  SetWindowTextW(Label(L"Marelco"), L"edited");
  ASSERT_EQ(ShowAbout(), S_OK);
  EXPECT_EQ(AboutWindow(), box);
  EXPECT_EQ(AboutBoxesOfThisThread(), 1);
  EXPECT_TRUE(Label(L"edited"));
}

TEST_F(FrmAboutTest, OkUnloadsAndTheNextAboutLoadsAfresh) {
  const LONG before = ModuleLocks();
  ASSERT_EQ(ShowAbout(), S_OK);
  EXPECT_EQ(ModuleLocks(), before + 1);
  HWND box = AboutWindow();
  SetWindowTextW(Label(L"Marelco"), L"edited");
  SendMessageW(FindDescendant(box, L"Button", L"OK"), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_EQ(AboutWindow(), nullptr);
  EXPECT_EQ(ModuleLocks(), before);

  ASSERT_EQ(ShowAbout(), S_OK);
  EXPECT_TRUE(Label(L"Marelco"));
  EXPECT_FALSE(Label(L"edited"));
  EXPECT_EQ(AboutBoxesOfThisThread(), 1);
}

TEST_F(FrmAboutTest, EnterAndEscapeInTheHostsMessageLoopCloseTheBox) {
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    ASSERT_EQ(ShowAbout(), S_OK);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PumpMessages();
    EXPECT_EQ(AboutWindow(), nullptr) << "key " << key;
  }
}

TEST_F(FrmAboutTest, AnEngravedLineSeparatesTheCredits) {
  ASSERT_EQ(ShowAbout(), S_OK);
  HWND box = AboutWindow();
  UpdateWindow(box);
  PumpMessages();
  HDC dc = GetDC(box);
  const int x = MulDiv(2000, GetDeviceCaps(dc, LOGPIXELSX), 1440);
  const int grey = MulDiv(1245, GetDeviceCaps(dc, LOGPIXELSY), 1440);
  EXPECT_EQ(GetPixel(dc, x, grey), RGB(128, 128, 128));
  EXPECT_EQ(GetPixel(dc, x, grey + 1), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, x, grey + 2), RGB(255, 255, 255));
  ReleaseDC(box, dc);
  EXPECT_TRUE(testing::SaveWindowImage(box, L"about.bmp"));
}

}  // namespace
}  // namespace marelco::pages
