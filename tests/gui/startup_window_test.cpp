// The main window as start-up makes it.
#include "tests/gui/gui_harness.h"

#include <commctrl.h>

#include <string>

#include "resources/version.h"
#include "tests/gui/main_window_helpers.h"
#include "window/clicks.h"
#include "window/dpi_model.h"
#include "window/face_model.h"
#include "window/main_window.h"

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

namespace {

// The painted labels whose box ends in a column of anything but the window
// background: text cut at the box's edge.
std::string cutLabels(HWND window, uint32_t dpi) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    FaceInput input;
    input.width = gui().clientWidth;
    input.searchMode = app().settings.searchMode;
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    const uint32_t backgroundPixel = (uint32_t{GetRValue(background)} << 16) |
                                     (uint32_t{GetGValue(background)} << 8) | GetBValue(background);
    std::string cut;
    const Rect knob = physicalRect(switchRect(), dpi);
    for (const FaceLabel& label : describeFace(input).labels) {
        const Rect box = physicalRect(label.box, dpi);
        // The switch overlaps the corner of the "File" box: that part is not the label's.
        const bool overKnob = box.right > knob.left && box.right <= knob.right && box.bottom > knob.top;
        const LONG bottom = overKnob ? knob.top : box.bottom;
        for (uint32_t pixel : captureClient(window, {box.right - 1, box.top, box.right, bottom})) {
            if ((pixel & 0xFFFFFF) == backgroundPixel) continue;
            cut += std::string(" \"") + label.text + "\"";
            break;
        }
    }
    return cut;
}

}  // namespace

// At 96, 144 and 192 DPI, as on a monitor of that DPI: every label fits its
// box, and the closing row of a long twin list shows in full above the list's
// bottom edge, the list ending inside the client area.
TEST_F(GuiTest, AtEveryDpiTheLabelsFitAndTheClosingRowOfALongListIsInView) {
    const std::string twins = makeTwinFolder(dataFolder(), 25);
    for (uint32_t dpi : {96u, 144u, 192u}) {
        app().settings.searchMode = FileMode;
        resetListColumns(window());
        moveToDpi(window(), dpi);
        EXPECT_EQ(cutLabels(window(), dpi), "") << dpi << " DPI, File mode";
        app().settings.searchMode = QuickDirMode;
        resetListColumns(window());
        EXPECT_EQ(cutLabels(window(), dpi), "") << dpi << " DPI, Quick Dir mode";

        setBox(window(), kPathBoxAId, twins);
        actOnZone(window(), Zone::StartAbort);
        ASSERT_TRUE(waitIdle());
        const int closing = listRowCount() - 1;
        ASSERT_EQ(listCell(closing, 0), "End");
        RECT client = {}, list = {}, listClient = {}, row = {};
        GetClientRect(window(), &client);
        GetWindowRect(gui().resultListView, &list);
        MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&list), 2);
        EXPECT_LE(list.bottom, client.bottom) << dpi << " DPI";
        GetClientRect(gui().resultListView, &listClient);
        // The list scrolls to the closing row on one of the window's ticks: waited for, not timed.
        const auto closingRowShown = [&] {
            row = {};
            row.left = LVIR_BOUNDS;
            SendMessageA(gui().resultListView, LVM_GETITEMRECT, closing, reinterpret_cast<LPARAM>(&row));
            return row.bottom <= listClient.bottom;
        };
        pumpUntil(closingRowShown, 10000);
        EXPECT_LE(row.bottom, listClient.bottom) << dpi << " DPI: the closing row is cut";
        EXPECT_GT(row.top, 0) << dpi << " DPI";
        saveScreenshot(window(), ("main_window_long_list_dpi" + std::to_string(dpi)).c_str());
    }
}
