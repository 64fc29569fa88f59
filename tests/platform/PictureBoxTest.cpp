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

std::shared_ptr<PictureBox> box(int w, int h) {
    auto b = std::make_shared<PictureBox>("pbo");
    b->setBackColor(0x000000FF);  // red
    b->moveTwips(0, 0, Screen::toTwips(w), Screen::toTwips(h));
    return b;
}

}  // namespace

TEST(PictureBox, SurfaceFollowsTheInnerSize) {
    auto b = box(30, 20);
    EXPECT_TRUE(ControlFactory::isRegistered("PictureBox"));
    EXPECT_EQ(b->render().width(), 30);
    EXPECT_EQ(b->clientRect(), (Rect{0, 0, 30, 20}));
    EXPECT_EQ(b->render().pixel(29, 19), kRed);
    EXPECT_EQ(b->hwnd(), b->hWnd());
    b->setBorderPixels(2);
    b->moveTwips(0, 0, Screen::toTwips(40), Screen::toTwips(20));
    EXPECT_EQ(b->render().width(), 36);
    EXPECT_EQ(b->render().height(), 16);
    EXPECT_EQ(b->hDC()->surface(), &b->render());  // the context draws into it
}

TEST(PictureBox, PaintWithoutAutoRedrawKeepWithIt) {
    auto b = box(10, 10);
    int paints = 0;
    b->Paint.connect([&] {
        ++paints;
        b->hDC()->fillSolidRect({0, 0, 2, 2}, RGB(0, 255, 0));
        throw Error("a failing paint handler");
    });
    EXPECT_NO_THROW(b->moveTwips(0, 0, Screen::toTwips(12), Screen::toTwips(10)));
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(b->render().pixel(1, 1), kGreen);
    b->hDC()->fillSolidRect({5, 5, 6, 6}, RGB(0, 255, 0));
    b->Refresh();  // cleared, then painted again
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(b->render().pixel(5, 5), kRed);

    b->setAutoRedraw(true);
    b->hDC()->fillSolidRect({5, 5, 6, 6}, RGB(0, 255, 0));
    b->moveTwips(0, 0, Screen::toTwips(20), Screen::toTwips(20));
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(b->render().pixel(5, 5), kGreen);  // kept across the resize
    EXPECT_EQ(b->render().pixel(15, 15), kRed);  // new room: background
    b->Cls();
    EXPECT_EQ(b->render().pixel(5, 5), kRed);
}

TEST(PictureBox, PictureIsTheBackgroundOfEveryCls) {
    auto b = box(10, 10);
    b->setAutoRedraw(true);
    b->setPicture(Picture::bitmap(Surface(4, 3, kGreen)));
    EXPECT_EQ(b->render().pixel(3, 2), kGreen);
    EXPECT_EQ(b->render().pixel(4, 2), kRed);
    b->hDC()->fillSolidRect({0, 0, 10, 10}, RGB(0, 0, 255));
    b->Cls();
    EXPECT_EQ(b->render().pixel(0, 0), kGreen);
    b->setPicture(nullptr);
    EXPECT_EQ(b->render().pixel(0, 0), kRed);
}

TEST(PictureBox, SnapshotLaysChildrenOverTheImage) {
    auto b = box(60, 30);
    b->setScaleMode(ScaleMode::Pixels);
    auto frame = b->create<Shape>("shp");
    frame->setBorderColor(0x00FF0000);  // blue
    frame->Move(0, 0, 60, 30);
    auto label = b->create<Label>("lbl");
    label->setBackStyleTransparent(true);
    label->setForeColor(0x00FFFFFF);
    label->setCaption("Hi");
    label->Move(10, 10, 40, 12);
    auto inner = b->create<PictureBox>("pboInner");
    inner->setBackColor(0x0000FF00);
    inner->Move(50, 20, 5, 5);
    auto hidden = b->create<Label>("hidden");
    hidden->setBackStyleTransparent(false);
    hidden->Move(0, 0, 60, 30);
    hidden->setVisible(false);

    Surface shot = b->snapshot();
    EXPECT_EQ(shot.pixel(0, 15), 0xFF0000FFu);  // the frame
    EXPECT_EQ(shot.pixel(59, 0), 0xFF0000FFu);
    EXPECT_EQ(shot.pixel(52, 22), kGreen);     // the nested box
    int white = 0;
    for (int y = 10; y < 22; ++y)
        for (int x = 10; x < 50; ++x) white += shot.pixel(x, y) == 0xFFFFFFFFu;
    EXPECT_GT(white, 10);                       // the caption's glyphs
    EXPECT_EQ(shot.pixel(30, 5), kRed);         // the image itself elsewhere
    EXPECT_EQ(b->render().pixel(0, 15), kRed);  // the image is not changed

    Surface reused(60, 30);
    const Pixel* before = reused.data();
    b->snapshotInto(reused);
    EXPECT_EQ(reused.data(), before);
    EXPECT_EQ(reused, shot);
}

TEST(PictureText, RoundTripAndDamagedText) {
    Surface s(3, 2, kRed);
    s.setPixel(2, 1, 0x80123456u);
    const PicturePtr icon = Picture::icon(s);
    const std::string text = pictureToText(icon);
    EXPECT_EQ(text, "picture 3 3 2 FFFF0000*5 80123456");
    const PicturePtr back = pictureFromText(text);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->type(), vbPicTypeIcon);
    EXPECT_EQ(back->pixels(), s);
    EXPECT_EQ(pictureToText(nullptr), "");
    EXPECT_EQ(pictureFromText(""), nullptr);

    for (const char* bad : {"picture", "image 1 1 1 FFFFFFFF", "picture 1 2 2 FFFFFFFF*3", "picture 1 2 2 FFFFFFFF*5",
                            "picture 9 1 1 FFFFFFFF", "picture 1 0 1 ", "picture 1 1 1 FFFFFFF", "picture 1 1 1 FFFFFFFG",
                            "picture 1 1 1 FFFFFFFF*0", "picture 1 16384 16384 FFFFFFFF*268435456",
                            "picture 1 -1 1 FFFFFFFF", "picture 1 1 1 FFFFFFFF*",
                            "picture 1 2 1 FFFFFFFFFFFFFFFF", "picture 1 1 1 FFFFFFFF "}) {
        try {
            pictureFromText(bad);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.code(), errTypeMismatch) << bad;
        }
    }
}
