// The transparent image: which pixels belong to it (for drawing and for the
// mouse), its five persisted properties and its events.
#include <gtest/gtest.h>

#include "platform/Error.h"
#include "platform/PictureBox.h"
#include "platform/Units.h"
#include "progress/XTransparentImage.h"

using namespace tavixTGCL2;

namespace {

constexpr Pixel kBlue = 0xFF0000FFu;

// A 4 x 4 blue picture; its mask is white with a black 2 x 2 block at the
// top left.
PicturePtr bluePicture() { return Picture::bitmap(Surface(4, 4, kBlue)); }
PicturePtr cornerMask() {
    Surface s(4, 4, 0xFFFFFFFFu);
    s.fill({0, 0, 2, 2}, 0xFF000000u);
    return Picture::bitmap(std::move(s));
}

// A red 20 x 20 pixel box holding a 6 x 6 image at (10, 10).
struct Scene {
    std::shared_ptr<PictureBox> parent = std::make_shared<PictureBox>("pbo");
    std::shared_ptr<XTransparentImage> image;
    Scene() {
        parent->setScaleMode(ScaleMode::Pixels);
        parent->setBackColor(0x000000FF);
        parent->moveTwips(0, 0, Screen::toTwips(20), Screen::toTwips(20));
        image = parent->create<XTransparentImage>("xtiIcon");
        image->Move(10, 10, 6, 6);
        image->setPicture(bluePicture());
    }
};

}  // namespace

TEST(TransparentImage, MaskDecidesWhatIsDrawnAndWhatIsHit) {
    Scene s;
    EXPECT_TRUE(ControlFactory::isRegistered("tavixTGCL2.XTransparentImage"));
    // Without a mask the whole picture is opaque, and only the picture.
    EXPECT_TRUE(s.image->isOpaqueAt(3, 3));
    EXPECT_FALSE(s.image->isOpaqueAt(4, 4));

    s.image->setMaskPicture(cornerMask());
    s.image->setMaskColor(0x00FFFFFF);
    EXPECT_TRUE(s.image->isOpaqueAt(1, 1));
    EXPECT_FALSE(s.image->isOpaqueAt(3, 3));
    Surface shot = s.parent->snapshot();
    EXPECT_EQ(shot.pixel(11, 11), kBlue);
    EXPECT_EQ(shot.pixel(13, 13), 0xFFFF0000u);  // the parent shows through

    // Another mask colour moves the transparent area; the picture stays.
    s.image->setMaskColor(0);
    const Surface own = s.image->render();
    EXPECT_EQ(own.pixel(1, 1) >> 24, 0u);  // see-through: alpha 0
    EXPECT_EQ(own.pixel(3, 3), kBlue);
    EXPECT_EQ(own.pixel(5, 5) >> 24, 0u);  // outside the mask
}

TEST(TransparentImage, PropertiesPersistWithKeysAndDefaults) {
    XTransparentImage image;
    std::vector<std::string> changed;
    image.PropertyChangedEvent.connect([&](const std::string& key) { changed.push_back(key); });
    image.setMousePointer(5);
    image.ReadProperties(PropertyBag());  // nothing stored: every default
    EXPECT_EQ(image.Picture(), nullptr);
    EXPECT_EQ(image.MaskColor(), 0u);
    EXPECT_EQ(image.MousePointer(), 0);
    PropertyBag bag;
    image.WriteProperties(bag);
    EXPECT_EQ(bag.size(), 0u);

    image.setPicture(bluePicture());
    image.setMaskColor(0x80000005);  // a system colour keeps all 32 bits
    image.setMaskPicture(cornerMask());
    image.setMouseIcon(bluePicture());
    image.setMousePointer(99);
    EXPECT_EQ(changed, (std::vector<std::string>{"MousePointer", "Picture", "MaskColor", "MaskPicture", "MouseIcon",
                                                 "MousePointer"}));
    image.WriteProperties(bag);
    XTransparentImage copy;
    copy.ReadProperties(PropertyBag::parse(bag.toText()));
    ASSERT_NE(copy.MaskPicture(), nullptr);
    EXPECT_EQ(copy.MaskPicture()->pixels(), image.MaskPicture()->pixels());
    EXPECT_EQ(copy.MaskColor(), 0x80000005u);
    EXPECT_EQ(copy.MousePointer(), 99);

    // Damaged entries are skipped one by one.
    PropertyBag damaged;
    damaged.WriteProperty("Picture", "picture 1 2 2 FF0000FF*5");
    damaged.WriteProperty("MaskColor", 255);
    damaged.WriteProperty("MousePointer", 70000);
    copy.ReadProperties(damaged);
    EXPECT_NE(copy.Picture(), nullptr);
    EXPECT_EQ(copy.MaskColor(), 255u);
    EXPECT_EQ(copy.MousePointer(), 99);

    // Out of 16 bits: an overflow error, nothing changed, nothing reported.
    changed.clear();
    try {
        image.setMousePointer(70000);
        ADD_FAILURE() << "70000 does not fit 16 bits";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), errOverflow);
    }
    EXPECT_EQ(image.MousePointer(), 99);
    EXPECT_TRUE(changed.empty());
}

TEST(TransparentImage, PressesOnSeeThroughPointsGoBelow) {
    Scene s;
    auto under = s.parent->create<Control>("Shape", "shpUnder");
    under->Move(12, 12, 8, 8);
    s.image->ZOrder(0);
    s.image->setMaskPicture(cornerMask());
    s.image->setMaskColor(0x00FFFFFF);

    std::vector<std::string> log;
    auto record = [&](std::string who) {
        return [&log, who](std::int16_t b, std::int16_t, float x, float y) {
            log.push_back(who + std::to_string(b) + " " + std::to_string(int(x)) + "," + std::to_string(int(y)));
        };
    };
    s.image->MouseDown.connect(record("image "));
    s.image->MouseDown.connect([](std::int16_t, std::int16_t, float, float) { throw Error("handler fails"); });
    s.parent->MouseDown.connect(record("parent "));
    under->MouseDown.connect(record("under "));
    int imageClicks = 0, parentClicks = 0;
    s.image->Click.connect([&] { ++imageClicks; throw Error("handler fails"); });
    s.parent->Click.connect([&] { ++parentClicks; });

    // The image's own units are twips; the parent's are pixels.
    const float px = static_cast<float>(Screen::TwipsPerPixelX());
    EXPECT_NO_THROW(s.image->doMouseDown(vbLeftButton, 0, 1.5f * px, 1.5f * px));
    EXPECT_NO_THROW(s.image->doClick());
    s.image->doMouseDown(vbRightButton, 0, 0.5f * px, 3.5f * px);  // see-through, only the parent below
    s.image->doClick();
    s.image->doMouseDown(vbLeftButton, 0, 3.5f * px, 3.5f * px);  // see-through, over the shape
    EXPECT_EQ(log, (std::vector<std::string>{"image 1 22,22", "parent 2 10,13", "under 1 22,22"}));
    EXPECT_EQ(imageClicks, 1);
    EXPECT_EQ(parentClicks, 1);
}
