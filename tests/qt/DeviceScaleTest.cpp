// The device pixel ratio through Qt: the backend takes the screen's ratio,
// toolbar icons are pixmaps drawn at device size, and drawn controls are
// painted from device-size surfaces. Run at QT_SCALE_FACTOR 1, 1.5 and 2 by
// the test list, so each check holds at every ratio.
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

#include <set>

#include "QtTestSupport.h"
#include "platform/PictureBox.h"
#include "platform/StandardControls.h"
#include "platform/Units.h"
#include "progress/MGradient.h"
#include "toolbar/ToolbarIcons.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;
using tgcltest::QtTest;

namespace {

class DeviceScaleTest : public QtTest {
protected:
    double ratio() const { return QGuiApplication::primaryScreen()->devicePixelRatio(); }
};

// Distinct colours down one column of an image.
int distinctRows(const QImage& image, int x, int top, int bottom) {
    std::set<QRgb> colours;
    for (int y = top; y < bottom; ++y) colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

}  // namespace

TEST_F(DeviceScaleTest, ToolbarIconPixmapsAreDrawnAtDeviceSize) {
    EXPECT_DOUBLE_EQ(Screen::devicePixelRatio(), ratio());
    auto form = std::make_shared<Form>("frmRun");
    form->Move(0, 0, 12000, 6000);
    auto tb = form->create<XTgToolbar>();
    tb->Move(0, 0, 12000, 600);
    tb->DefineButtons(etgActionAll, etgRunStartAndStop | etgRunStep);
    show(form);
    auto* bar = qobject_cast<QToolBar*>(widgetOf(*tb->Bar()));
    ASSERT_NE(bar, nullptr);
    QToolButton* next = nullptr;
    for (auto* b : bar->findChildren<QToolButton*>(QString::number(ID_TGTBAR_NEXT)))
        if (b->isVisible()) next = b;
    ASSERT_NE(next, nullptr);
    const QSize logical = next->iconSize();
    const QPixmap pm = next->icon().pixmap(logical, ratio());
    const int device = Screen::toDevice(logical.width(), ratio());
    EXPECT_EQ(pm.width(), device);
    EXPECT_DOUBLE_EQ(pm.devicePixelRatio(), ratio());

    // The pixmap is the icon's drawing at that size, not an enlarged one:
    // its coverage (alpha) matches a fresh drawing pixel for pixel.
    const Icon drawn = ToolbarIcons::draw(ID_TGTBAR_NEXT, device);
    ASSERT_EQ(drawn.width, device);
    const QImage image = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    int differ = 0;
    for (int y = 0; y < device; ++y)
        for (int x = 0; x < device; ++x)
            differ += qAlpha(image.pixel(x, y)) != static_cast<int>(drawn.pixels[static_cast<std::size_t>(y * device + x)] >> 24);
    EXPECT_EQ(differ, 0);
}

TEST_F(DeviceScaleTest, DrawnControlsArePaintedFromDeviceSizeSurfaces) {
    auto form = std::make_shared<Form>("frmPaint");
    form->Move(0, 0, 6000, 3000);
    auto box = form->create<PictureBox>("picRamp");
    box->setAutoRedraw(true);
    box->moveTwips(0, 0, Screen::toTwips(20), Screen::toTwips(60));
    show(form);
    MGradient::GradientFillRect(box->hDC(), box->clientRect(), 0x000000, 0xFFFFFF, 1);
    box->Refresh();
    settle();

    const int height = Screen::toDevice(60, ratio());
    ASSERT_EQ(box->render().height(), height);
    QWidget* w = widgetOf(*box);
    ASSERT_NE(w, nullptr);
    const QImage painted = w->grab().toImage();
    EXPECT_DOUBLE_EQ(painted.devicePixelRatio(), ratio());
    ASSERT_EQ(painted.height(), height);
    // One grey per device row on screen: nothing was enlarged on the way.
    EXPECT_EQ(distinctRows(painted, painted.width() / 2, 0, height), height);
}

TEST_F(DeviceScaleTest, TextFollowsTheDesktopFontSize) {
    EXPECT_DOUBLE_EQ(Screen::textScale(), 1.0);  // Qt's default font is the design size
    const QFont original = QApplication::font();
    QFont larger = original;
    larger.setPointSizeF(12);
    QApplication::setFont(larger);
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(Screen::textScale(), 12.0 / qt::QtBackend::kDesignFontPoints);
    QApplication::setFont(original);
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(Screen::textScale(), 1.0);
}

TEST_F(DeviceScaleTest, ListIconsShowTheirDeviceDrawing) {
    // Two drawings told apart by colour: the list must show the device one
    // wherever the screen's ratio is above 1.
    const int device = Screen::toDevice(16, ratio());
    PicturePtr pic = Picture::bitmap(Surface(16, 16, 0xFFFF0000));
    pic = Picture::withDevicePixels(pic, Surface(device, device, 0xFF0000FF), ratio());
    auto form = std::make_shared<Form>("frmList");
    form->Move(0, 0, 4000, 3000);
    auto list = form->create<ListView>("lvw");
    list->Move(0, 0, 4000, 3000);
    list->setView(3);
    list->addColumn("", 0);
    list->setSmallIcons({{"pic", pic}});
    ListItem row;
    row.Text = "Start";
    row.SmallIcon = "pic";
    list->addItem(row);
    show(form);
    auto* widget = qobject_cast<QListWidget*>(widgetOf(*list));
    ASSERT_NE(widget, nullptr);
    const QPixmap shown = widget->item(0)->icon().pixmap(QSize(16, 16), ratio());
    ASSERT_EQ(shown.width(), device);
    EXPECT_EQ(shown.toImage().pixel(device / 2, device / 2), ratio() > 1 ? 0xFF0000FFu : 0xFFFF0000u);
}
