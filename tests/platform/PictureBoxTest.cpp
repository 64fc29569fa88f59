// The picture box: its surface follows the inner size, Cls, AutoRedraw and
// Paint, the background picture, the snapshot with its children, and the
// text form pictures are persisted in.
#include <gtest/gtest.h>

#include "platform/Error.h"
#include "platform/PictureBox.h"
#include "platform/PictureText.h"
#include "platform/StandardControls.h"
#include "platform/Units.h"

using namespace tavixTGCL2;

namespace {

constexpr Pixel kRed = 0xFFFF0000u;
constexpr Pixel kGreen = 0xFF00FF00u;

std::shared_ptr<PictureBox> redBox(int w, int h) {
    auto b = std::make_shared<PictureBox>("pbo");
    b->setBackColor(0x000000FF);
    b->moveTwips(0, 0, Screen::toTwips(w), Screen::toTwips(h));
    return b;
}

}  // namespace

TEST(PictureBox, SurfacePaintAndAutoRedraw) {
    auto b = redBox(10, 10);
    EXPECT_TRUE(ControlFactory::isRegistered("PictureBox"));
    int paints = 0;
    b->Paint.connect([&] {
        ++paints;
        b->hDC()->fillSolidRect({0, 0, 2, 2}, RGB(0, 255, 0));
        throw Error("a failing paint handler");
    });
    b->setBorderPixels(2);
    EXPECT_NO_THROW(b->moveTwips(0, 0, Screen::toTwips(40), Screen::toTwips(20)));
    EXPECT_EQ(b->clientRect(), (Rect{0, 0, 36, 16}));  // inside the border
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(b->render().pixel(1, 1), kGreen);
    b->hDC()->fillSolidRect({5, 5, 6, 6}, RGB(0, 255, 0));
    b->Refresh();  // cleared, then painted again
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(b->render().pixel(5, 5), kRed);

    b->setAutoRedraw(true);
    b->hDC()->fillSolidRect({5, 5, 6, 6}, RGB(0, 255, 0));
    b->moveTwips(0, 0, Screen::toTwips(50), Screen::toTwips(50));
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(b->render().pixel(5, 5), kGreen);  // kept across the resize

    // The picture is the background of every Cls; setting one clears.
    b->setPicture(Picture::bitmap(Surface(4, 3, kGreen)));
    EXPECT_EQ(b->render().pixel(3, 2), kGreen);
    EXPECT_EQ(b->render().pixel(5, 5), kRed);
}

TEST(PictureBox, SnapshotLaysChildrenOverTheImage) {
    auto b = redBox(60, 40);
    b->setScaleMode(ScaleMode::Pixels);
    auto frame = b->create<Shape>("shp");
    frame->setBorderColor(0x00FF0000);  // blue
    frame->Move(0, 0, 60, 40);
    auto label = b->create<Label>("lbl");
    label->setBackStyleTransparent(true);
    label->setForeColor(0x00FFFFFF);
    label->setWordWrap(true);
    label->setCaption("Hi there");  // 48 pixels: wraps in a 40-pixel label
    label->Move(10, 10, 40, 24);
    auto inner = b->create<PictureBox>("pboInner");
    inner->setBackColor(0x0000FF00);
    inner->Move(50, 30, 5, 5);

    const Surface shot = b->snapshot();
    EXPECT_EQ(shot.pixel(0, 15), 0xFF0000FFu);  // the frame
    EXPECT_EQ(shot.pixel(52, 32), kGreen);     // the nested box
    auto white = [&](int top) {
        int n = 0;
        for (int y = top; y < top + 12; ++y)
            for (int x = 10; x < 50; ++x) n += shot.pixel(x, y) == 0xFFFFFFFFu;
        return n;
    };
    EXPECT_GT(white(10), 5);  // "Hi"
    EXPECT_GT(white(22), 5);  // "there" on the second line
    EXPECT_EQ(b->render().pixel(0, 15), kRed);  // the image itself is not changed
}

TEST(PictureText, RoundTripAndDamagedText) {
    Surface s(3, 2, kRed);
    s.setPixel(2, 1, 0x80123456u);
    const std::string text = pictureToText(Picture::icon(s));
    EXPECT_EQ(text, "picture 3 3 2 FFFF0000*5 80123456");
    const PicturePtr back = pictureFromText(text);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->type(), vbPicTypeIcon);
    EXPECT_EQ(back->pixels(), s);
    EXPECT_EQ(pictureFromText(""), nullptr);

    for (const char* bad : {"image 1 1 1 FFFFFFFF", "picture 1 2 2 FFFFFFFF*3", "picture 1 2 2 FFFFFFFF*5",
                            "picture 9 1 1 FFFFFFFF", "picture 1 0 1 ", "picture 1 1 1 FFFFFFFG", "picture 1 1 1 FFFFFFFF*0",
                            "picture 1 16384 16384 FFFFFFFF*268435456", "picture 1 2 1 FFFFFFFFFFFFFFFF"}) {
        try {
            pictureFromText(bad);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.code(), errTypeMismatch) << bad;
        }
    }
}
