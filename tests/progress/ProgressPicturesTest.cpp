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
#include "progress/XStatusBar.h"
#include "progress/XTgProgressBar.h"

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
    for (int status : {0, 1, 2, 3}) {
        sb->setStatus(status);
        save(sb->snapshot(), std::string("statusbar_") + std::array{"idle", "passed", "failed", "na"}[status]);
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

    setThemingEnabled(true);
}
