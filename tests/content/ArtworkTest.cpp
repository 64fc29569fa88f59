// The text form of the library's bitmaps, and the content pane's artwork:
// sizes, see-through colours and the parts that must be where the controls
// expect them.
#include <gtest/gtest.h>

#include <string>

#include "platform/Error.h"
#include "resources/TextBitmap.h"

using namespace tavixTGCL2;

namespace {
constexpr Pixel kRed = 0xFFFF0000u;
}

TEST(TextBitmap, ParsesAndFormatsBackToTheSamePixels) {
    const char* text =
        "# two by three\n"
        "size 2 3\n"
        "kind icon\n"
        "color . 8CAAE6\n"
        "color # 000000\n"
        "pixels\n"
        ".#\n"
        "#.\r\n"
        "..\n";
    PictureType kind = vbPicTypeNone;
    Surface s = TextBitmap::parse(text, &kind);
    EXPECT_EQ(kind, vbPicTypeIcon);
    ASSERT_EQ(s.width(), 2);
    EXPECT_EQ(s.pixel(0, 0), 0xFF8CAAE6u);
    EXPECT_EQ(s.pixel(1, 0), 0xFF000000u);
    EXPECT_EQ(TextBitmap::parse(TextBitmap::format(s, vbPicTypeIcon)), s);

    // More colours than characters: rows of RRGGBB words.
    Surface many(300, 2);
    for (std::int32_t x = 0; x < 300; ++x) many.setPixel(x, 1, 0xFF000000u | static_cast<Pixel>(x * 97));
    const std::string hex = TextBitmap::format(many);
    EXPECT_NE(hex.find("pixels hex"), std::string::npos);
    EXPECT_EQ(TextBitmap::parse(hex), many);
}

TEST(TextBitmap, RefusesMalformedTextNamingTheLine) {
    auto fails = [](const std::string& text, const std::string& line) {
        try {
            TextBitmap::parse(text);
        } catch (const Error& e) {
            return std::string(e.what()).find("line " + line) != std::string::npos;
        }
        return false;
    };
    EXPECT_TRUE(fails("size 2 1\ncolor . 000000\npixels\n.x\n", "4"));    // no colour for x
    EXPECT_TRUE(fails("size 2 2\ncolor . 000000\npixels\n..\n", "5"));    // a row missing
    EXPECT_TRUE(fails("size 2 1\ncolor . 000000\npixels\n...\n", "4"));   // too wide
    EXPECT_TRUE(fails("size 2 1\ncolor . 00000G\n", "2"));
    EXPECT_TRUE(fails("size 5000 1\n", "1"));
    EXPECT_TRUE(fails("size 1 1\ncolor . 000000\ncolor . FFFFFF\n", "3"));
    EXPECT_TRUE(fails("pixels\n", "1"));
    EXPECT_TRUE(fails("size 1 1\ncolor . 000000\npixels\n.\n.\n", "5"));  // more rows than the size
    EXPECT_THROW(Resources::LoadResPicture(4711), Error);
}

TEST(ContentArtwork, BitmapsHaveTheirSizesAndSeeThroughColours) {
    for (std::int32_t n = 120; n <= 127; ++n) {
        PicturePtr p = Resources::LoadResPicture(n);
        ASSERT_EQ(p->width(), 32) << n;
        ASSERT_EQ(p->height(), 34) << n;
        const Surface& s = p->pixels();
        EXPECT_EQ(s.pixel(0, 0), kRed) << n;
        // The tab above covers the top ten rows of a tab: the icon is below them.
        for (std::int32_t y = 0; y < 10; ++y)
            for (std::int32_t x = 0; x < 32; ++x) ASSERT_EQ(s.pixel(x, y), kRed) << n << " at " << x << "," << y;
        int opaque = 0;
        for (std::int32_t y = 10; y < 34; ++y)
            for (std::int32_t x = 0; x < 32; ++x) opaque += s.pixel(x, y) != kRed;
        EXPECT_GT(opaque, 150) << n;
    }
    // Unselected and selected forms differ.
    EXPECT_NE(Resources::LoadResPicture(120)->pixels(), Resources::LoadResPicture(124)->pixels());
    for (const char* name : {"tab_active.txt", "tab_inactive.txt"}) {
        PicturePtr p = Resources::loadPicture(name);
        ASSERT_EQ(p->width(), 32);
        ASSERT_EQ(p->height(), 58);
        EXPECT_EQ(p->pixels().pixel(0, 0), pixelFromColorRef(RGB(1, 72, 178)));
    }
    EXPECT_EQ(Resources::loadPicture("tab_active.txt")->pixels().pixel(16, 29), 0xFFFFFFFFu);
    EXPECT_EQ(Resources::loadPicture("tab_inactive.txt")->pixels().pixel(16, 29), pixelFromColorRef(RGB(90, 136, 205)));
    PicturePtr corner = Resources::loadPicture("corner_topright.txt");
    EXPECT_EQ(corner->width(), 5);
    EXPECT_EQ(corner->pixels().pixel(0, 4), 0xFFFFFFFFu);  // see-through inside the curve
    EXPECT_EQ(corner->pixels().pixel(4, 4), pixelFromColorRef(RGB(1, 72, 178)));
    PicturePtr hand = Resources::loadPicture("cursor_hand.txt");
    EXPECT_EQ(hand->width(), 32);
    EXPECT_NE(hand->pixels().pixel(13, 10), kRed);  // the hot spot is on the finger
    EXPECT_EQ(hand->pixels().pixel(13, 8), kRed);
}
