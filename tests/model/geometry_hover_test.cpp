#include <gtest/gtest.h>

#include "engine/job/settings.h"
#include "window/dpi_model.h"
#include "window/geometry_model.h"

namespace {

constexpr uint32_t W = 520;
constexpr uint32_t H = 360;
constexpr uint32_t kColumnX = W - 30;

HoverRepaint move(HoverFlags& flags, uint32_t x, uint32_t y, bool idle = true, uint32_t mode = FileMode) {
    return updateHover(flags, W, H, x, y, idle, mode);
}

}  // namespace

TEST(HotZones, RightColumnRowsAndTheGapsBetweenThem) {
    const Rect column = rightColumnRect(W, H);
    struct Row {
        uint32_t y;
        Zone zone;
    } rows[] = {
        {4, Zone::None},  {5, Zone::AboutPause}, {22, Zone::AboutPause}, {23, Zone::None},
        {27, Zone::Help}, {45, Zone::None},      {74, Zone::ChooseA},    {89, Zone::ChooseA},
        {90, Zone::None}, {96, Zone::ChooseB},   {111, Zone::ChooseB},   {112, Zone::None},
    };
    for (const Row& row : rows) EXPECT_EQ(hitZone(W, kColumnX, row.y, true, FileMode), row.zone) << row.y;
    // The column's x bounds are exclusive.
    EXPECT_EQ(hitZone(W, W - 58, 10, true, FileMode), Zone::None);
    EXPECT_EQ(hitZone(W, W - 57, 10, true, FileMode), Zone::AboutPause);
    EXPECT_EQ(hitZone(W, W - 4, 10, true, FileMode), Zone::None);

    HoverFlags flags;
    HoverRepaint repaint = move(flags, kColumnX, 80);
    EXPECT_EQ(flags.hoverChooseA, 1u);
    ASSERT_EQ(repaint.count, 1);
    EXPECT_EQ(repaint.rects[0], column);
}

TEST(HotZones, WhatCountsDependsOnTheRunStateAndMode) {
    // The second Choose row exists only in File mode.
    EXPECT_EQ(hitZone(W, kColumnX, 100, true, DirectoryMode), Zone::None);
    EXPECT_EQ(hitZone(W, kColumnX, 100, true, QuickDirMode), Zone::None);
    // During a job the Choose rows and the switch are no zones; Help and the
    // two job buttons still are.
    EXPECT_EQ(hitZone(W, kColumnX, 80, false, FileMode), Zone::None);
    EXPECT_EQ(hitZone(W, kColumnX, 100, false, FileMode), Zone::None);
    EXPECT_EQ(hitZone(W, 30, 20, false, FileMode), Zone::None);
    EXPECT_EQ(hitZone(W, kColumnX, 30, false, FileMode), Zone::Help);
    EXPECT_EQ(hitZone(W, kColumnX, 10, false, FileMode), Zone::AboutPause);
    EXPECT_EQ(hitZone(W, W - 100, 20, false, FileMode), Zone::StartAbort);
    EXPECT_EQ(hitZone(W, 30, 20, true, FileMode), Zone::Switch);
}

TEST(HotZones, HelpDuringAJobLightsNothingAndDarkensPause) {
    HoverFlags flags;
    move(flags, kColumnX, 10, false);  // Pause lights
    const HoverRepaint repaint = move(flags, kColumnX, 30, false);
    EXPECT_EQ(flags.hoverHelp, 0u);
    EXPECT_EQ(flags.hoverAboutPause, 0u) << "the pointer left Pause";
    ASSERT_EQ(repaint.count, 1);
    EXPECT_EQ(repaint.rects[0], rightColumnRect(W, H));
    EXPECT_FALSE(move(flags, kColumnX, 80, false).needed()) << "nothing lit, nothing to repaint";
}

// Straight from zone to zone, with no movement over the gap between them (a
// flick, a touch, a pointer warped by a remote desktop): only the button under
// the pointer is lit, and each group that changed is repainted once.
TEST(HotZones, OnlyTheButtonUnderThePointerIsLit) {
    HoverFlags flags;
    HoverRepaint repaint = move(flags, 30, 20);
    ASSERT_EQ(repaint.count, 1);
    EXPECT_EQ(repaint.rects[0], switchRect());

    repaint = move(flags, W - 100, 20);
    EXPECT_EQ(flags.hoverSwitch, 0u);
    EXPECT_EQ(flags.hoverStartAbort, 1u);
    ASSERT_EQ(repaint.count, 2);
    EXPECT_EQ(repaint.rects[0], switchRect());
    EXPECT_EQ(repaint.rects[1], startAbortRect(W));

    move(flags, kColumnX, 30);
    EXPECT_EQ(flags.hoverStartAbort + flags.hoverSwitch, 0u);
    EXPECT_EQ(flags.hoverHelp, 1u);
    EXPECT_FALSE(move(flags, kColumnX, 30).needed()) << "an already lit button asks for no repaint";
    repaint = move(flags, kColumnX, 80);  // Help to Choose: one column repaint
    EXPECT_EQ(flags.hoverHelp, 0u);
    EXPECT_EQ(flags.hoverChooseA, 1u);
    EXPECT_EQ(repaint.count, 1);

    repaint = move(flags, 200, 300);
    EXPECT_EQ(flags.hoverChooseA, 0u);
    ASSERT_EQ(repaint.count, 1);
    EXPECT_EQ(repaint.rects[0], rightColumnRect(W, H));
    EXPECT_FALSE(move(flags, 200, 300).needed());
}

TEST(HotZones, ZonesOfAVeryNarrowWindowCannotBeEntered) {
    // W - 58 and W - 170 fall below 0: compared unsigned, those ranges are empty.
    for (uint32_t x = 0; x < 60; ++x) {
        for (uint32_t y : {10u, 30u, 80u}) {
            const Zone zone = hitZone(40, x, y, true, FileMode);
            EXPECT_TRUE(zone == Zone::None || zone == Zone::Switch) << x << "," << y;
        }
    }
    // The right column is tested first where it overlaps the switch.
    EXPECT_EQ(hitZone(100, 45, 30, true, FileMode), Zone::Help);
}

// At 150% and 200% the face keeps its 96-DPI layout: a screen pixel maps to the
// 96-DPI pixel it lies in, so every zone keeps its place and exclusive bounds.
TEST(HotZones, ScaledScreensHitTheSameZonesAtTheirScaledPlaces) {
    for (uint32_t dpi : {96u, 144u, 192u}) {
        const uint32_t width = logicalCoordinate(static_cast<uint32_t>(scaledLength(W, dpi)), dpi);
        EXPECT_EQ(width, W) << dpi;
        auto zoneAtScreen = [&](uint32_t x, uint32_t y) {
            return hitZone(width, logicalCoordinate(x, dpi), logicalCoordinate(y, dpi), true, FileMode);
        };
        // Start/Abort spans 96-DPI x from W-169 to W-71 and y from 16 to 39.
        EXPECT_EQ(zoneAtScreen(scaledLength(W - 169, dpi), scaledLength(16, dpi)), Zone::StartAbort) << dpi;
        EXPECT_EQ(zoneAtScreen(scaledLength(W - 70, dpi), scaledLength(20, dpi)), Zone::None) << dpi;
        EXPECT_EQ(zoneAtScreen(scaledLength(W - 70, dpi) - 1, scaledLength(20, dpi)), Zone::StartAbort)
            << dpi;
        EXPECT_EQ(zoneAtScreen(scaledLength(37, dpi), scaledLength(27, dpi)), Zone::Switch) << dpi;
        EXPECT_EQ(zoneAtScreen(scaledLength(W - 30, dpi), scaledLength(100, dpi)), Zone::ChooseB) << dpi;
    }
    // A repaint covers every screen pixel its 96-DPI rectangle touches.
    EXPECT_EQ(physicalRect({25, 15, 50, 40}, 144), (Rect{37, 22, 75, 60}));
    EXPECT_EQ(physicalRect({1, 1, 2, 2}, 120), (Rect{1, 1, 3, 3}));
    const ChildPlace box = physicalPlace({82, 73, 378, 20}, 144);
    EXPECT_EQ(box.x, 123);
    EXPECT_EQ(box.width, 567);
    EXPECT_EQ(usableDpi(0), 96u);
    EXPECT_EQ(usableDpi(144), 144u);
}

TEST(ChildLayout, FollowsTheClientSizeAndNeverGoesNegative) {
    const ChildLayout normal = childLayout(520, 360);
    EXPECT_EQ(normal.list.x, 1);
    EXPECT_EQ(normal.list.y, 120);
    EXPECT_EQ(normal.list.width, 518);
    EXPECT_EQ(normal.list.height, 240);
    EXPECT_EQ(normal.boxA.width, 378);
    EXPECT_EQ(normal.boxB.y, 95);

    const ChildLayout tiny = childLayout(100, 120);
    EXPECT_EQ(tiny.list.height, 0);
    EXPECT_EQ(tiny.boxA.width, 0);
    const ChildLayout minimised = childLayout(0, 0);
    EXPECT_EQ(minimised.list.width, 0);
    EXPECT_EQ(minimised.boxB.width, 0);
}

TEST(ModeSwitch, CyclesThroughTheThreeModesAndRepairsADamagedValue) {
    EXPECT_EQ(nextSearchMode(FileMode), uint32_t{DirectoryMode});
    EXPECT_EQ(nextSearchMode(DirectoryMode), uint32_t{QuickDirMode});
    EXPECT_EQ(nextSearchMode(QuickDirMode), uint32_t{FileMode});
    EXPECT_EQ(nextSearchMode(3), uint32_t{FileMode});
    EXPECT_EQ(nextSearchMode(0xFFFFFFFFu), uint32_t{FileMode});
    EXPECT_EQ(validSearchMode(7), uint32_t{FileMode});
    EXPECT_EQ(validSearchMode(QuickDirMode), uint32_t{QuickDirMode});
}
