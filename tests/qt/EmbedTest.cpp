// A form put into a host's own QMainWindow and layout: it follows the
// container's size, and the host's widgets, signals and style sheets work
// beside it.
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "QtTestSupport.h"
#include "content/XTgContentPane.h"
#include "platform/StandardControls.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;
using EmbedTest = tgcltest::QtTest;

TEST_F(EmbedTest, AFormInAMainWindowsLayoutFillsItAfterAResizeBesideTheHostsWidgets) {
    auto form = std::make_shared<Form>("frmRun");
    form->Move(0, 0, 15000, 10500);  // 1000 x 700
    auto tb = form->create<XTgToolbar>();
    auto pane = form->create<XTgContentPane>("xcpContent");
    auto results = form->create<ListView>("lvwResults");
    results->setBackColor(0xFFE6C8);  // RGB(200, 230, 255)
    // The host's layout of the form's controls, in twips.
    form->Resize.connect([&] {
        resumeNext([&] { tb->Move(0, 0, form->ScaleWidth(), tb->Height()); });
        resumeNext([&] { pane->Move(0, tb->Height(), form->ScaleWidth(), form->ScaleHeight() - tb->Height()); });
    });
    pane->ResizeResultView.connect([&](float l, float t, float w, float h) {
        resumeNext([&] { results->Move(static_cast<int>(l), static_cast<int>(t) + tb->Height(), static_cast<int>(w), static_cast<int>(h)); });
    });
    pane->setResultView(results);
    tb->Move(0, 0, 15000, 600);

    // The host's window: its own styled button and a line edit above the form.
    QMainWindow window;
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* button = new QPushButton("Host button");
    button->setStyleSheet("background: rgb(255, 220, 0); border: none;");
    auto* note = new QLineEdit;
    layout->addWidget(button);
    layout->addWidget(note);
    qt::QtControlHost* host = backend->embed(form, central);
    layout->addWidget(host, 1);
    window.setCentralWidget(central);
    int hostClicks = 0;
    QObject::connect(button, &QPushButton::clicked, button, [&] { ++hostClicks; });
    int toolbarClicks = 0;
    tb->ButtonClick.connect([&](std::shared_ptr<CTgToolbarButton>, bool) { ++toolbarClicks; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(form->Visible());  // embedding showed it
    EXPECT_EQ(window.findChild<qt::QtControlHost*>(), host);

    // Twips per pixel follow the screen's logical dpi.
    EXPECT_EQ(Screen::TwipsPerPixelX(), std::lround(1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInch()));
    window.resize(1280, 800);
    settle();
    const QSize inner = host->size();
    ASSERT_EQ(inner.width(), 1280);
    EXPECT_EQ(form->widthTwips(), Screen::toTwips(inner.width()));
    EXPECT_EQ(form->heightTwips(), Screen::toTwips(inner.height()));
    EXPECT_EQ(host->controlWidget()->geometry(), QRect(QPoint(0, 0), inner));
    EXPECT_EQ(widgetOf(*tb)->width(), 1280);
    EXPECT_EQ(widgetOf(*pane)->geometry().bottomRight(), QPoint(1279, inner.height() - 1));
    EXPECT_EQ(widgetOf(*results)->geometry().right(), 1279);

    const QImage shot = window.grab().toImage();
    ASSERT_TRUE(shot.save(tgcltest::outDir() + "/embedded-1280x800.png"));
    const double dpr = shot.devicePixelRatio();
    auto pixel = [&](QWidget* w, QPoint p) {
        const QPoint at = w->mapTo(&window, p) * dpr;
        return QColor(shot.pixel(at));
    };
    // The result view reaches the bottom-right corner, beyond the 1000 x 700
    // the form had before; the host's style sheet still holds beside it.
    EXPECT_EQ(pixel(host, QPoint(inner.width() - 12, inner.height() - 12)), QColor(200, 230, 255));
    EXPECT_EQ(pixel(host, QPoint(1100, inner.height() - 12)), QColor(200, 230, 255));
    EXPECT_EQ(pixel(button, QPoint(4, 4)), QColor(255, 220, 0));

    // Input: the host's signals and keys, and the embedded toolbar's buttons.
    QTest::mouseClick(button, Qt::LeftButton);
    note->setFocus();
    QTest::keyClicks(note, "typed");
    QWidget* next = window.findChild<QWidget*>(QString::number(ID_TGTBAR_NEXT));
    ASSERT_NE(next, nullptr);
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(hostClicks, 1);
    EXPECT_EQ(note->text(), "typed");
    EXPECT_EQ(toolbarClicks, 1);
}
