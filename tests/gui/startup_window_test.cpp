// The main window as start-up makes it.
#include "tests/gui/gui_harness.h"

#include "resources/version.h"

TEST_F(GuiTest, FirstRunShowsKestBoxCentredAt520By400) {
    EXPECT_EQ(FindWindowA("KestBox", KESTROW_TITLE), window());
    EXPECT_TRUE(IsWindowVisible(window()));
    EXPECT_EQ(GetParent(window()), nullptr);
    RECT frame;
    GetWindowRect(window(), &frame);
    EXPECT_EQ(frame.right - frame.left, 520);
    EXPECT_EQ(frame.bottom - frame.top, 400);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 520) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 400) / 2);
    EXPECT_TRUE(GetWindowLongA(window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_NE(gui().switchBitmap, nullptr);
    EXPECT_NE(gui().switchHotBitmap, nullptr);
    EXPECT_NE(gui().smallIcon, nullptr);
    EXPECT_NE(gui().largeIcon, nullptr);
    EXPECT_TRUE(app().pauseGate.isOpen());
    saveScreenshot(window(), "startup_first_run");
}
