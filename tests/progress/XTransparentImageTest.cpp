// The transparent image: which pixels belong to it (for drawing and for the
// mouse), its five persisted properties and its events.
#include <gtest/gtest.h>

#include "platform/Error.h"
#include "platform/PictureBox.h"
#include "platform/PictureText.h"
#include "platform/Units.h"
#include "progress/XTransparentImage.h"

using namespace tavixTGCL2;

namespace {

constexpr Pixel kRed = 0xFFFF0000u;
constexpr Pixel kBlue = 0xFF0000FFu;
constexpr Pixel kWhitePx = 0xFFFFFFFFu;
constexpr Pixel kBlackPx = 0xFF000000u;

// A 4 x 4 blue picture; its mask is white with a black 2 x 2 block at the
// top left (white is the mask colour in these tests).
PicturePtr bluePicture() { return Picture::bitmap(Surface(4, 4, kBlue)); }
PicturePtr cornerMask() {
    Surface s(4, 4, kWhitePx);
    s.fill({0, 0, 2, 2}, kBlackPx);
    return Picture::bitmap(std::move(s));
}

struct Scene {
    std::shared_ptr<PictureBox> parent = std::make_shared<PictureBox>("pbo");
    std::shared_ptr<XTransparentImage> image;
    Scene() {
        parent->setScaleMode(ScaleMode::Pixels);
        parent->setBackColor(0x000000FF);  // red
        parent->moveTwips(0, 0, Screen::toTwips(20), Screen::toTwips(20));
        image = parent->create<XTransparentImage>("xtiIcon");
        image->setBackColor(0x0000FF00);  // green
        image->Move(10, 10, 6, 6);        // pixels: the parent's units
    }
};

}  // namespace

TEST(TransparentImage, MaskDecidesWhatIsDrawnAndWhatIsHit) {
    Scene s;
    EXPECT_TRUE(ControlFactory::isRegistered("tavixTGCL2.XTransparentImage"));
    EXPECT_FALSE(s.image->isOpaqueAt(0, 0));  // nothing set: nothing there
    s.image->setPicture(bluePicture());
    // Without a mask the whole picture is opaque, and only the picture.
    EXPECT_TRUE(s.image->isOpaqueAt(0, 0));
    EXPECT_TRUE(s.image->isOpaqueAt(3, 3));
    EXPECT_FALSE(s.image->isOpaqueAt(4, 4));

    s.image->setMaskPicture(cornerMask());
    s.image->setMaskColor(0x00FFFFFF);
    EXPECT_TRUE(s.image->isOpaqueAt(1, 1));
    EXPECT_FALSE(s.image->isOpaqueAt(3, 3));
    Surface shot = s.parent->snapshot();
    EXPECT_EQ(shot.pixel(11, 11), kBlue);
    EXPECT_EQ(shot.pixel(13, 13), kRed);  // the parent shows through
    EXPECT_EQ(shot.pixel(12, 10), kRed);

    // Another mask colour moves the transparent area; the picture stays.
    const PicturePtr before = s.image->Picture();
    s.image->setMaskColor(0);
    EXPECT_EQ(s.image->Picture(), before);
    EXPECT_FALSE(s.image->isOpaqueAt(1, 1));
    EXPECT_TRUE(s.image->isOpaqueAt(3, 3));
    Surface own = s.image->render();
    EXPECT_EQ(own.width(), 6);
    EXPECT_EQ(own.pixel(1, 1) >> 24, 0u);  // see-through: alpha 0
    EXPECT_EQ(own.pixel(3, 3), kBlue);
    EXPECT_EQ(own.pixel(5, 5) >> 24, 0u);  // outside the mask
}

TEST(TransparentImage, PropertiesPersistWithKeysAndDefaults) {
    XTransparentImage image;
    std::vector<std::string> changed;
    image.PropertyChangedEvent.connect([&](const std::string& key) { changed.push_back(key); });

    PropertyBag empty;
    image.setMousePointer(5);
    image.ReadProperties(empty);
    EXPECT_EQ(image.Picture(), nullptr);
    EXPECT_EQ(image.MaskColor(), 0u);
    EXPECT_EQ(image.MaskPicture(), nullptr);
    EXPECT_EQ(image.MouseIcon(), nullptr);
    EXPECT_EQ(image.MousePointer(), 0);

    PropertyBag bag;
    image.WriteProperties(bag);
    EXPECT_EQ(bag.size(), 0u);  // everything at its default

    image.setPicture(bluePicture());
    image.setMaskColor(0x80000005);  // a system colour keeps all 32 bits
    image.setMaskPicture(cornerMask());
    image.setMouseIcon(bluePicture());
    image.setMousePointer(99);
    EXPECT_EQ(changed, (std::vector<std::string>{"MousePointer", "Picture", "MaskColor", "MaskPicture", "MouseIcon",
                                                 "MousePointer"}));
    image.WriteProperties(bag);
    const PropertyBag reloaded = PropertyBag::parse(bag.toText());
    XTransparentImage copy;
    copy.ReadProperties(reloaded);
    ASSERT_NE(copy.Picture(), nullptr);
    EXPECT_EQ(copy.Picture()->pixels(), image.Picture()->pixels());
    EXPECT_EQ(copy.MaskPicture()->pixels(), image.MaskPicture()->pixels());
    EXPECT_EQ(copy.MaskColor(), 0x80000005u);
    EXPECT_EQ(copy.MousePointer(), 99);

    // Damaged entries are skipped one by one.
    PropertyBag damaged;
    damaged.WriteProperty("Picture", "picture 1 2 2 FF0000FF*5");
    damaged.WriteProperty("MaskColor", 255);
    damaged.WriteProperty("MousePointer", 70000);
    copy.ReadProperties(damaged);
    EXPECT_NE(copy.Picture(), nullptr);  // kept what it had
    EXPECT_EQ(copy.MaskColor(), 255u);
    EXPECT_EQ(copy.MousePointer(), 99);
}

TEST(TransparentImage, MousePointerOverflowChangesNothing) {
    XTransparentImage image;
    int changes = 0;
    image.PropertyChangedEvent.connect([&](const std::string&) { ++changes; });
    image.setMousePointer(-32768);
    try {
        image.setMousePointer(70000);
        FAIL() << "70000 does not fit 16 bits";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), errOverflow);
    }
    EXPECT_EQ(image.MousePointer(), -32768);
    EXPECT_EQ(changes, 1);
}

TEST(TransparentImage, PressesOnSeeThroughPointsGoBelow) {
    Scene s;
    auto under = s.parent->create<Control>("Shape", "shpUnder");
    under->Move(12, 12, 8, 8);
    s.image->ZOrder(0);
    s.image->setPicture(bluePicture());
    s.image->setMaskPicture(cornerMask());
    s.image->setMaskColor(0x00FFFFFF);

    std::vector<std::string> log;
    auto record = [&](const char* who) {
        return [&log, who](std::int16_t b, std::int16_t, float x, float y) {
            log.push_back(std::string(who) + " " + std::to_string(b) + " " + std::to_string(int(x)) + "," +
                          std::to_string(int(y)));
        };
    };
    s.image->MouseDown.connect(record("image"));
    s.image->MouseDown.connect([](std::int16_t, std::int16_t, float, float) { throw Error("handler fails"); });
    s.parent->MouseDown.connect(record("parent"));
    under->MouseDown.connect(record("under"));
    int imageClicks = 0, parentClicks = 0;
    s.image->Click.connect([&] { ++imageClicks; throw Error("handler fails"); });
    s.parent->Click.connect([&] { ++parentClicks; });

    // The image's own units are twips (its scale mode).
    const float px = static_cast<float>(Screen::TwipsPerPixelX());
    EXPECT_NO_THROW(s.image->doMouseDown(vbLeftButton, 0, 1.5f * px, 1.5f * px));
    EXPECT_NO_THROW(s.image->doClick());
    s.image->doMouseDown(vbRightButton, 0, 0.5f * px, 3.5f * px);  // transparent, nothing below but the parent
    s.image->doClick();
    s.image->doMouseDown(vbLeftButton, 0, 3.5f * px, 3.5f * px);  // transparent, over the shape
    EXPECT_EQ(log, (std::vector<std::string>{"image 1 22,22", "parent 2 10,13", "under 1 22,22"}));
    EXPECT_EQ(imageClicks, 1);
    EXPECT_EQ(parentClicks, 1);
}
