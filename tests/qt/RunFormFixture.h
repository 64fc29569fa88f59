#pragma once
// A run form as a host builds it (toolbar, content pane, the host's result
// list) working a small plan, with keys delivered as Qt delivers them: to
// the focus widget of the window.
#include <QApplication>

#include <string>
#include <vector>

#include "QtTestSupport.h"
#include "content/XMsnSplit.h"
#include "content/XPaneProcedure.h"
#include "content/XTabStrip.h"
#include "content/XTgContentPane.h"
#include "frame/HostKit.h"
#include "platform/StandardControls.h"
#include "progress/XStatusBar.h"
#include "toolbar/XTgToolbar.h"

namespace tgcltest {

using namespace tavixTGCL2;

// The form a host lays out: the toolbar keeps its own height, the pane
// takes the rest (800 x 600 pixels in all) and places the result list.
class HostFormTest : public QtTest {
protected:
    void SetUp() override {
        QtTest::SetUp();
        form = std::make_shared<Form>("frmRun");
        form->Move(0, 0, 12000, 9000);
        tb = form->create<XTgToolbar>("xtbRun");
        pane = form->create<XTgContentPane>("xcpContent");
        results = form->create<ListView>("lvwResults");
        tb->Resize.connect([this] { place(); });
        form->Resize.connect([this] { place(); });
        pane->ResizeResultView.connect([this](float l, float t, float w, float h) {
            resumeNext([&] { results->Move(static_cast<int>(l), static_cast<int>(t) + tb->Height(), static_cast<int>(w), static_cast<int>(h)); });
        });
        tb->Move(0, 0, 12000, 600);
        place();
        pane->setResultView(results);
    }
    void TearDown() override {
        pane->Terminate();
        form.reset();
        tb.reset();
        pane.reset();
        results.reset();
        QtTest::TearDown();
    }

    std::shared_ptr<Form> form;
    std::shared_ptr<XTgToolbar> tb;
    std::shared_ptr<XTgContentPane> pane;
    std::shared_ptr<ListView> results;

private:
    void place() {
        if (!pane || !tb) return;
        resumeNext([&] { pane->Move(0, tb->Height(), form->ScaleWidth(), form->ScaleHeight() - tb->Height()); });
    }
};

class RunFormTest : public HostFormTest {
protected:
    static constexpr std::int32_t kToolReport = 901;
    struct Step {
        std::string caption;
        std::int16_t measured;  // the verdict Start gives
    };

    void SetUp() override {
        HostFormTest::SetUp();
        tb->DefineButtons(etgActionAll, etgRunStartAndStop);
        tb->AddToolsMenu(kToolReport, "Run &report");
        for (const Step& s : plan) {
            ListItem row;
            row.Text = s.caption;
            results->addItem(row);
        }
        tb->ButtonClick.connect([this](std::shared_ptr<CTgToolbarButton> b, bool acc) {
            log.push_back(std::to_string(b->ID()) + (acc ? " key" : " click"));
            command(b->ID());
        });
        pane->TabClick.connect([this](std::int32_t t) { log.push_back("tab " + std::to_string(t)); });
        element(0);
    }
    QWidget* open() {
        win = show(form);
        EXPECT_TRUE(QTest::qWaitForWindowActive(win));
        settle();
        return win;
    }
    // A key as the operator presses it in the active window.
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) {
        QWidget* w = QApplication::activeWindow() ? QApplication::activeWindow() : win;
        QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, k, mods);
        settle();
    }
    Control* focused() const { return form->ActiveControl(); }

    std::vector<Step> plan{{"Supply voltage", 1}, {"Ripple", 2}, {"Fan noise", 1}};
    QWidget* win = nullptr;
    std::vector<std::string> log;
    std::vector<std::int16_t> verdicts;
    std::size_t current = 0;
    bool finished = false;

private:
    void element(std::size_t i) {
        current = i;
        auto e = std::make_shared<SimpleTestElement>(std::make_shared<SimpleElementInfo>(plan[i].caption, etgProcPlainText,
                                                                                          "Connect the meter and read it."),
                                                     std::make_shared<SimpleTestResult>());
        tb->Initialize(e, nullptr);
        pane->Initialize(e, nullptr);
        results->setSelectedIndex(static_cast<std::int32_t>(i) + 1);
        tb->SetButtonState(etgStateIdle);
        tb->UpdateStatusBar(Variant("Ready: " + plan[i].caption));
    }
    void conclude(std::int16_t v) {
        verdicts.push_back(v);
        tb->setStatus(v == 3 ? std::int16_t{0} : v);
        tb->SetButtonState(etgStateCompleted);
    }
    void command(std::int32_t id) {
        if (id == ID_TGTBAR_START) conclude(plan[current].measured);
        else if (id == ID_TGTBAR_NA) conclude(3);
        else if (id == ID_TGTBAR_NEXT && current + 1 < plan.size()) element(current + 1);
        else if (id == ID_TGTBAR_NEXT) {
            finished = true;
            tb->UpdateStatusBar(Variant("Plan complete"));
        }
    }
};

}  // namespace tgcltest
