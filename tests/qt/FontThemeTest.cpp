// Drawn controls with Qt's fonts and the Qt style's progress look; the
// built-in theme and the flat look stay selectable.
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include "QtConvert.h"
#include "QtFontEngine.h"
#include "QtTestSupport.h"
#include "QtTheme.h"
#include "platform/DC.h"
#include "platform/FontEngine.h"
#include "platform/Theme.h"
#include "progress/CTgProgressBar.h"

using namespace tavixTGCL2;
using tgcltest::QtTest;

using FontThemeTest = QtTest;

TEST_F(FontThemeTest, TextIsMeasuredWithQtsFontsAtTheScreensPointSize) {
    ASSERT_NE(dynamic_cast<qt::QtFontEngine*>(&fontEngine()), nullptr);
    const Font arial{.name = "Arial", .size = 9};
    QFont q("Arial");
    q.setPixelSize(12);  // 9 points at 96 dpi
    const QFontMetrics m(q);
    EXPECT_EQ(fontEngine().measure(arial, "Start").cx, m.horizontalAdvance("Start"));
    const TextMetrics tm = fontEngine().metrics(arial);
    EXPECT_EQ(tm.ascent, m.ascent());
    EXPECT_EQ(tm.height, m.ascent() + m.descent());
    // The names the controls use resolve to installed substitutes.
    EXPECT_NE(QFontInfo(qt::toQFont(arial)).family(), QString());
    EXPECT_GT(fontEngine().measure(Font{.name = "Tahoma", .size = 8, .bold = true}, "PASSED").cx,
              fontEngine().measure(Font{.name = "Tahoma", .size = 8}, "PASSED").cx);
}

TEST_F(FontThemeTest, TextIsDrawnOnlyInsideTheClip) {
    Surface s(120, 30, 0xFFFFFFFFu);
    const Rect clip{10, 0, 60, 30};
    fontEngine().draw(s, clip, 0, 5, Font{.name = "Verdana", .size = 12}, "WWWWWWWWWW", RGB(0, 0, 0));
    int inside = 0, outside = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            if (s.pixel(x, y) != 0xFFFFFFFFu) ++(x >= 10 && x < 60 ? inside : outside);
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}

TEST_F(FontThemeTest, TheProgressBarTakesTheQtStylesLookAndTheOthersStaySelectable) {
    auto paint = [](Surface& s) {
        DC dc(&s);
        CTgProgressBar bar;
        bar.setValue(50);
        bar.DrawToDC(1, &dc, 0, 0, s.width(), s.height());
    };
    ASSERT_NE(dynamic_cast<qt::QtTheme*>(activeTheme()), nullptr);
    Surface qtLook(400, 24), builtin(400, 24), flat(400, 24);
    paint(qtLook);
    installTheme(nullptr);
    EXPECT_NE(dynamic_cast<BuiltinTheme*>(activeTheme()), nullptr);
    paint(builtin);
    setThemingEnabled(false);
    paint(flat);
    setThemingEnabled(true);
    EXPECT_NE(qtLook, builtin);
    EXPECT_NE(qtLook, flat);
    EXPECT_NE(builtin, flat);
    // The filled half and the empty half of the Qt look differ.
    EXPECT_NE(qtLook.pixel(100, 12), qtLook.pixel(300, 12));
    QImage row(400 * 3 + 20, 24, QImage::Format_RGB32);
    row.fill(Qt::white);
    QPainter p(&row);
    p.drawImage(0, 0, qt::wrapSurface(qtLook));
    p.drawImage(410, 0, qt::wrapSurface(builtin));
    p.drawImage(820, 0, qt::wrapSurface(flat));
    p.end();
    EXPECT_TRUE(row.save(tgcltest::outDir() + "/progress-looks.png"));
}
