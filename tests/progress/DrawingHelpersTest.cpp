// CMemDC (the off-screen surface and picture holder) and MGradient.
#include <gtest/gtest.h>

#include "platform/DC.h"
#include "platform/Picture.h"
#include "progress/CMemDC.h"
#include "progress/MGradient.h"

using namespace tavixTGCL2;

TEST(CMemDC, SurfaceIsMadeOnDemandAndOnlyReplacedWhenOutgrown) {
    CMemDC m;
    EXPECT_EQ(m.hDC(0, 10), nullptr);
    EXPECT_EQ(m.surface(), nullptr);
    EXPECT_EQ(m.hDC(-5, 10), nullptr);

    DC* dc = m.hDC(100, 20);
    ASSERT_NE(dc, nullptr);
    const Surface* first = m.surface();
    EXPECT_EQ(m.Width(), 100);
    EXPECT_EQ(m.hDC(80, 20), dc);
    EXPECT_EQ(m.surface(), first);  // kept
    EXPECT_EQ(m.Width(), 100);
    ASSERT_NE(m.hDC(80, 30), nullptr);
    EXPECT_EQ(m.surface()->width(), 80);  // exactly the request: one side shrinks
    EXPECT_EQ(m.surface()->height(), 30);
    EXPECT_EQ(m.Height(), 30);

    // A request the platform cannot serve leaves no surface at all.
    EXPECT_EQ(m.hDC(Surface::kMaxDimension + 1, 30), nullptr);
    EXPECT_EQ(m.surface(), nullptr);
    EXPECT_EQ(m.Width(), 0);
}

TEST(CMemDC, SizeSettersNeverRecordMoreThanTheSurfaceHolds) {
    CMemDC m;
    m.setWidth(30);  // no height yet: nothing made
    EXPECT_EQ(m.surface(), nullptr);
    EXPECT_EQ(m.Width(), 30);
    m.setHeight(10);
    ASSERT_NE(m.surface(), nullptr);
    m.setWidth(50);  // larger than the surface: a new one
    EXPECT_EQ(m.surface()->width(), 50);
    m.setWidth(20);  // smaller: recorded, surface kept
    EXPECT_EQ(m.Width(), 20);
    EXPECT_EQ(m.surface()->width(), 50);
}

TEST(CMemDC, DrawCopiesTheRecordedAreaOrTheGivenPart) {
    CMemDC m;
    DC* dc = m.hDC(4, 3);
    dc->fillSolidRect({0, 0, 4, 3}, RGB(255, 0, 0));
    dc->setPixel(3, 2, RGB(0, 0, 255));
    Surface screen(10, 10);
    DC target(&screen);
    m.Draw(&target);
    EXPECT_EQ(screen.colorAt(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(screen.colorAt(3, 2), RGB(0, 0, 255));
    EXPECT_EQ(screen.colorAt(4, 0), RGB(255, 255, 255));
    EXPECT_EQ(screen.colorAt(0, 3), RGB(255, 255, 255));
    m.Draw(&target, 3, 2, 1, 1, 9, 9);
    EXPECT_EQ(screen.colorAt(9, 9), RGB(0, 0, 255));
    m.Draw(nullptr);  // no target: nothing, no crash
}

TEST(CMemDC, CreateFromPictureTakesBitmapsOnly) {
    Surface pixels(3, 2, pixelFromColorRef(RGB(10, 20, 30)));
    pixels.setPixel(2, 1, pixelFromColorRef(RGB(1, 2, 3)));
    CMemDC m;
    m.CreateFromPicture(Picture::bitmap(pixels));
    ASSERT_NE(m.surface(), nullptr);
    EXPECT_EQ(*m.surface(), pixels);
    EXPECT_EQ(m.Width(), 3);
    EXPECT_EQ(m.Height(), 2);

    CMemDC icon;
    icon.CreateFromPicture(Picture::icon(pixels));
    EXPECT_EQ(icon.surface(), nullptr);
    CMemDC none;
    none.CreateFromPicture(nullptr);
    none.CreateFromPicture(Picture::bitmap(Surface{}));
    EXPECT_EQ(none.surface(), nullptr);
}

TEST(MGradient, VerticalAndHorizontalEndRows) {
    Surface s(20, 10);
    DC dc(&s);
    ASSERT_TRUE(MGradient::GradientFillRect(&dc, {0, 0, 20, 10}, 0x0000FF, 0xFF0000, 1));
    for (int x : {0, 19}) {
        EXPECT_EQ(s.colorAt(x, 0), RGB(255, 0, 0));
        EXPECT_EQ(s.colorAt(x, 9), RGB(0, 0, 255));
    }
    EXPECT_EQ(s.colorAt(0, 4), s.colorAt(19, 4));  // rows are even
    ASSERT_TRUE(MGradient::GradientFillRect(&dc, {0, 0, 20, 10}, 0x00FF00, 0x000000, 0));
    EXPECT_EQ(s.colorAt(0, 5), RGB(0, 255, 0));
    EXPECT_EQ(s.colorAt(19, 5), RGB(0, 0, 0));
    EXPECT_GT(GetGValue(s.colorAt(5, 5)), GetGValue(s.colorAt(10, 5)));

    // A colour that does not translate fills as white; bad modes and
    // missing contexts draw nothing.
    ASSERT_TRUE(MGradient::GradientFillRect(&dc, {0, 0, 20, 10}, 0x8000001F, 0x8000001F, 1));
    EXPECT_EQ(s.colorAt(10, 5), RGB(255, 255, 255));
    EXPECT_FALSE(MGradient::GradientFillRect(&dc, {0, 0, 20, 10}, 0, 0, 2));
    EXPECT_FALSE(MGradient::GradientFillRect(nullptr, {0, 0, 20, 10}, 0, 0, 0));
    EXPECT_TRUE(MGradient::GradientFillRect(&dc, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 0, 0xFFFFFF, 1));
}

TEST(MGradient, VertexChannelsAndSixteenBitPatterns) {
    EXPECT_EQ(MGradient::TranslateColor(0x80000005), RGB(255, 255, 255));
    EXPECT_EQ(MGradient::TranslateColor(0x8000001F), CLR_INVALID);
    TriVertex v;
    MGradient::SetVertexColor(v, RGB(0x12, 0x34, 0xFF));
    EXPECT_EQ(v.Red, 0x1200);
    EXPECT_EQ(v.Green, 0x3400);
    EXPECT_EQ(v.Blue, 0xFF00);
    EXPECT_EQ(v.Alpha, 0);
    MGradient::SetVertexColor(v, CLR_INVALID);
    EXPECT_EQ(v.Red, 0xFF00);
    EXPECT_EQ(MGradient::ToColor16(0x7F00), 0x7F00);
    EXPECT_EQ(MGradient::ToColor16(0xFF00), static_cast<std::int16_t>(-256));
    EXPECT_EQ(MGradient::ToColor16(0x8000), static_cast<std::int16_t>(-32768));
}
