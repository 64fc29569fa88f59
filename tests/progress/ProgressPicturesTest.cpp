// Pictures of what an operator sees: the status bar in each verdict, with a
// standard and a message, with its progress bar static and animated in both
// looks, and the progress control. Written to the test-out folder, three
// times enlarged, for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>

#include "PngFile.h"
#include "frame/HostServices.h"
#include "platform/EventLoop.h"
#include "platform/Theme.h"
#include "platform/Units.h"
#include "progress/MGradient.h"
#include "progress/XStatusBar.h"
#include "progress/XTgProgressBar.h"
#include "progress/XTransparentImage.h"

using namespace tavixTGCL2;

namespace {

void save(const Surface& s, const std::string& name) {
    std::filesystem::create_directories(TGCL_TEST_OUT_DIR);
    Surface big(s.width() * 3, s.height() * 3);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x) big.setPixel(x, y, s.pixel(x / 3, y / 3));
    std::string error;
    EXPECT_TRUE(writePng(big, std::string(TGCL_TEST_OUT_DIR) + "/" + name + ".png", &error)) << error;
}

}  // namespace

TEST(ProgressPictures, StatusBarAndProgressControl) {
    HostServices::reset();
    EventLoop::current().useVirtualClock(true);
    setThemingEnabled(false);

    auto sb = std::make_shared<XStatusBar>("xsbStatus");
    sb->moveTwips(0, 0, Screen::toTwips(400), Screen::toTwips(40));
    CTgStandardSel sel;
    sel.CompleteName = "IEC 60601-1 Ed. 3.1";
    sb->SetStandardName(sel);
    const char* names[] = {"statusbar_idle", "statusbar_passed", "statusbar_failed", "statusbar_na"};
    for (int status = 0; status < 4; ++status) {
        sb->setStatus(status);
        save(sb->snapshot(), names[status]);
    }
    sb->setStatus(1);
    sb->setMessage("Measuring leakage current...");
    save(sb->snapshot(), "statusbar_message");

    ITgProgressBar& progress = sb->ProgressBarInterface();
    progress.setVisible(true);
    progress.setValue(40);
    save(sb->snapshot(), "statusbar_progress_static");
    progress.setAnimate(true);
    EventLoop::current().advance(150 * 9);  // (25, 45)
    save(sb->snapshot(), "statusbar_progress_animated");
    setThemingEnabled(true);
    EventLoop::current().advance(150);
    save(sb->snapshot(), "statusbar_progress_themed");
    progress.setAnimate(false);
    sb->setMessage("");
    progress.setVisible(false);
    sb->setStatus(2);
    sb->ApplyButtonSize(2);
    sb->moveTwips(0, 0, Screen::toTwips(400), Screen::toTwips(60));
    save(sb->snapshot(), "statusbar_failed_large");

    auto pb = std::make_shared<XTgProgressBar>("pbDemo");
    pb->moveTwips(0, 0, Screen::toTwips(240), Screen::toTwips(24));
    pb->setText("65 %");
    pb->setValue(65);
    save(pb->snapshot(), "progressbar_themed_caption");
    pb->setXpStyle(false);
    pb->Refresh();
    save(pb->snapshot(), "progressbar_flat_caption");
    pb->setText("");
    pb->setAnimate(true);
    EventLoop::current().advance(150 * 12);  // (40, 60)
    save(pb->snapshot(), "progressbar_flat_animated");

    // A round icon with a see-through corner area over a gradient box.
    auto host = std::make_shared<PictureBox>("pboHost");
    host->setAutoRedraw(true);
    host->setScaleMode(ScaleMode::Pixels);
    host->moveTwips(0, 0, Screen::toTwips(48), Screen::toTwips(24));
    MGradient::GradientFillRect(host->hDC(), {0, 0, 48, 24}, 0x00FAE0CD, 0x00E4AD87, 0);
    Surface icon(16, 16, 0xFF1060C0u), mask(16, 16, 0xFFFFFFFFu);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if ((x - 7.5) * (x - 7.5) + (y - 7.5) * (y - 7.5) <= 56) mask.setPixel(x, y, 0xFF000000u);
    auto xti = host->create<XTransparentImage>("xtiIcon");
    xti->setPicture(Picture::bitmap(icon));
    xti->setMaskPicture(Picture::bitmap(mask));
    xti->setMaskColor(0x00FFFFFF);
    xti->Move(16, 4, 16, 16);
    save(host->snapshot(), "transparent_image");

    setThemingEnabled(true);
}
