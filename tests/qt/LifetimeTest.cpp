// Backend, forms, host widgets and main windows torn down in every order.
// The checks are what a host can observe; reads of freed memory are what
// the valgrind and sanitizer runs of this program catch.
#include <QMainWindow>
#include <QPointer>

#include <algorithm>
#include <array>

#include "QtTestSupport.h"
#include "platform/StandardControls.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;

namespace {

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::shared_ptr<Form> runForm() {
    auto form = std::make_shared<Form>("frmRun");
    form->Move(0, 0, 9000, 6000);
    form->create<XTgToolbar>()->Move(0, 0, 9000, 600);
    form->create<ListView>("lvwResults")->Move(0, 600, 9000, 5400);
    return form;
}

// The library's settings in memory, as in every test of the backend; the
// backends are the tests' own.
class LifetimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        tgcltest::qtApp();
        setDefaultSettingsStore(std::make_shared<MemorySettingsStore>());
    }
    void TearDown() override { setDefaultSettingsStore(nullptr); }
};

}  // namespace

TEST_F(LifetimeTest, EmbeddedAndWindowedFormsBackendAndWidgetsGoInEveryOrder) {
    enum Step { Backend, EmbeddedForm, HostWidget, MainWindow, WindowedForm };
    std::array<int, 4> order{Backend, EmbeddedForm, HostWidget, MainWindow};
    int orders = 0;
    do {
        // The form in a window of its own goes second: before the backend
        // in most orders, after it in those that start with it.
        const std::array<int, 5> steps{order[0], WindowedForm, order[1], order[2], order[3]};
        SCOPED_TRACE(::testing::Message() << "order " << order[0] << order[1] << order[2] << order[3]);
        auto backend = std::make_unique<qt::QtBackend>();
        std::shared_ptr<Form> embedded = runForm(), windowed = runForm();
        QPointer<QMainWindow> main = new QMainWindow;
        QPointer<qt::QtControlHost> host = backend->embed(embedded);
        main->setCentralWidget(host);
        main->show();
        windowed->show();
        settle();
        QPointer<QWidget> window = backend->widgetFor(*windowed);
        ASSERT_TRUE(host->controlWidget() && window);
        std::weak_ptr<Form> embeddedAlive = embedded, windowedAlive = windowed;
        for (int step : steps) {
            switch (step) {
                case Backend: backend.reset(); break;
                case EmbeddedForm: embedded.reset(); break;
                case HostWidget: delete host.data(); break;
                case MainWindow: delete main.data(); break;
                case WindowedForm: windowed.reset(); break;  // while its window is shown
            }
            settle();
            // The host's references, and the embedding widget's, are all
            // that keep a form alive; a form's window goes with it.
            EXPECT_EQ(embeddedAlive.expired(), !embedded && !host);
            EXPECT_EQ(windowedAlive.expired(), !windowed);
            EXPECT_EQ(window.isNull(), !windowed || !backend);
            if (backend && embedded && !host) {
                EXPECT_EQ(backend->widgetFor(*embedded), nullptr);
            }
            if (backend && !host && !windowed) {
                EXPECT_EQ(backend->mirror().peerCount(), 0u);
            }
            if (host) {
                // Without a backend the widget stays, empty.
                EXPECT_EQ(host->controlWidget() != nullptr, backend != nullptr);
                EXPECT_EQ(host->findChildren<QWidget*>().isEmpty(), !backend);
            }
        }
        EXPECT_EQ(std::ranges::count_if(QApplication::topLevelWidgets(), [](QWidget* w) { return w->isVisible(); }), 0);
        ++orders;
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(orders, 24);
}

TEST_F(LifetimeTest, AFormDroppedByTheHandlerOfItsOwnButton) {
    qt::QtBackend backend;
    auto form = std::make_shared<Form>("frmAsk");
    form->Move(0, 0, 4500, 2250);
    auto close = form->create<CommandButton>("cmdClose");
    close->Move(300, 300, 1500, 450);
    close->Click.connect([&] { form.reset(); });  // the host's last reference
    form->show();
    QPointer<QWidget> window = backend.widgetFor(*form);
    QTest::mouseClick(backend.widgetFor(*close), Qt::LeftButton);
    settle();
    EXPECT_TRUE(!form && window.isNull() && backend.mirror().peerCount() == 0);
}
