#include "DemoHost.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include <tavixTGCL2/content/XTabStrip.h>
#include <tavixTGCL2/content/XTgContentPane.h>
#include <tavixTGCL2/frame/CTabProperties.h>
#include <tavixTGCL2/frame/HostKit.h>
#include <tavixTGCL2/frame/HostServices.h>
#include <tavixTGCL2/views/XRichEdit.h>
#include <tavixTGCL2/platform/Error.h>
#include <tavixTGCL2/platform/Form.h>
#include <tavixTGCL2/platform/KeyCodes.h>
#include <tavixTGCL2/platform/StandardControls.h>
#include <tavixTGCL2/platform/Surface.h>
#include <tavixTGCL2/progress/XStatusBar.h>
#include <tavixTGCL2/resources/TextBitmap.h>
#include <tavixTGCL2/toolbar/XTgToolbar.h>

namespace tavixTGCL2::demo {

namespace {

std::string twips(float l, float t, float w, float h) {
    std::ostringstream s;
    s << static_cast<long>(std::lround(l)) << "," << static_cast<long>(std::lround(t)) << " "
      << static_cast<long>(std::lround(w)) << "x" << static_cast<long>(std::lround(h));
    return s.str();
}

std::string commandName(std::int32_t id) {
    switch (id) {
        case ID_TGTBAR_ABORT: return "Abort";
        case ID_TGTBAR_PREV: return "Previous";
        case ID_TGTBAR_NEXT: return "Next";
        case ID_TGTBAR_STOP: return "Stop";
        case ID_TGTBAR_START: return "Start";
        case ID_TGTBAR_STEP: return "Start stepwise";
        case ID_TGTBAR_NA: return "NA";
        case ID_TGTBAR_SKIP: return "Skip";
        case DemoHost::kToolReport: return "Run report";
        default: return "command " + std::to_string(id);
    }
}

std::string tabName(std::int32_t tab) {
    switch (tab) {
        case etgProcedureTab: return "procedure";
        case etgCommentTab: return "comment";
        case etgDutInfoTab: return "DUT information";
        case etgHelpTab: return "help";
        default: return "custom " + std::to_string(tab);
    }
}

// The custom tab's pictures: the help tab's artwork with a small bar chart
// drawn over its icon, so the host's tab looks like one of the family.
PicturePtr measurementsPicture(std::int32_t resource) {
    PicturePtr base;
    resumeNext([&] { base = Resources::LoadResPicture(resource); });
    if (!base || base->pixels().isEmpty()) return base;
    Surface s = base->pixels();
    const std::int32_t w = s.width(), h = s.height();
    const std::int32_t cx = w / 2, bottom = std::min(h - 4, h / 2 + 8);
    const Pixel bar = 0xFF01408Fu, axis = 0xFF404040u;
    const std::int32_t heights[] = {5, 9, 7, 12};
    for (std::int32_t i = 0; i < 4; ++i) {
        const std::int32_t x0 = cx - 8 + i * 4;
        for (std::int32_t y = bottom - heights[i]; y < bottom; ++y)
            for (std::int32_t x = x0; x < x0 + 3; ++x) s.setPixel(x, y, bar);
    }
    for (std::int32_t x = cx - 10; x < cx + 9; ++x) s.setPixel(x, bottom, axis);
    for (std::int32_t y = bottom - 14; y <= bottom; ++y) s.setPixel(cx - 10, y, axis);
    return Picture::bitmap(std::move(s));
}

// A contained error as a line of the log: the operator's step it follows
// is the one that caused it.
std::string containedLine(const ContainedError& e) {
    if (e.internalFault) {
        const std::string file = e.file.substr(e.file.find_last_of('/') + 1);
        return "library: internal fault contained in " + e.operation() + " (" + file + ":" + std::to_string(e.line) +
               "): " + e.text;
    }
    return "library: error " + std::to_string(e.number) + " contained in " + e.operation() + ": " + e.text;
}

// A round mark in the verdict's colour for the result view, on a
// see-through background; drawn again at the screen's device size, so a
// dense screen shows a round mark, not an enlarged one.
Surface markPixels(std::int32_t n, double scale, Pixel fill, Pixel rim) {
    Surface s(n, n, 0x00000000u);
    const double c = (n - 1) / 2.0;
    for (std::int32_t y = 0; y < n; ++y)
        for (std::int32_t x = 0; x < n; ++x) {
            const double d = std::hypot(x - c, y - c);
            if (d <= c - 1.2 * scale) s.setPixel(x, y, fill);
            else if (d <= c) s.setPixel(x, y, rim);
        }
    return s;
}

PicturePtr verdictMark(Pixel fill, Pixel rim) {
    constexpr std::int32_t n = 14;
    PicturePtr mark = Picture::icon(markPixels(n, 1.0, fill, rim));
    const double ratio = Screen::devicePixelRatio();
    if (ratio <= 1.0) return mark;
    return Picture::withDevicePixels(mark, markPixels(Screen::toDevice(n, ratio), ratio, fill, rim), ratio);
}

}  // namespace

void EventLog::add(std::string line) {
    if (echo) echo(line);
    m_lines.push_back(std::move(line));
}

DemoHost::DemoHost(TestPlan plan) : m_plan(std::move(plan)) {
    m_diagnosticsTarget = std::make_shared<EventLog*>(&m_log);
    std::weak_ptr<EventLog*> target = m_diagnosticsTarget;
    m_previousSink = setDiagnosticsSink([target](const ContainedError& e) {
        if (auto log = target.lock()) (*log)->add(containedLine(e));
    });
    const std::size_t n = m_plan.elements.size();
    m_outcomes.resize(n);
    auto dut = std::make_shared<SimpleDutInfo>(m_plan.dut);
    auto standards = std::make_shared<SimpleStandardsList>(m_plan.standards);
    m_setup = std::make_shared<SimpleTestSetup>(m_plan.dut.empty() ? nullptr : dut,
                                                m_plan.standards.empty() ? nullptr : standards);
    m_setup->setSecondView(std::make_shared<SimpleWindowSettings>(XTgToolbar::SettingsKey() + "\\Demo"), false);
    for (const auto& e : m_plan.elements) {
        auto info = std::make_shared<SimpleElementInfo>(e.caption, e.procedure.format, e.procedure.text);
        auto result = std::make_shared<SimpleTestResult>(0, e.comment);
        m_resultObjects.push_back(result);
        m_elements.push_back(std::make_shared<SimpleTestElement>(info, result));
    }
    // The style sheet the procedure pane applies to HTML fragments comes
    // from the host's settings.
    auto settings = std::make_shared<SimpleSettings>();
    settings->setValue("ProcCSS", m_plan.styleSheet);
    HostServices::setSettingsFactory([settings] { return settings; });
    buildForm();
    connectEvents();
    resumeNext([&] { m_pane->ApplyWindowSettings(*m_form); });
    place();
    showElement(0);
}

DemoHost::~DemoHost() {
    resumeNext([&] { m_timer->setTimerEnabled(false); });
    resumeNext([&] { m_pane->StoreWindowSettings(*m_form); });
    resumeNext([&] { m_pane->Terminate(); });
    HostServices::setSettingsFactory(nullptr);
    m_diagnosticsTarget.reset();
    setDiagnosticsSink(std::move(m_previousSink));
}

void DemoHost::buildForm() {
    m_form = std::make_shared<Form>("frmDemo");
    m_form->setCaption(m_plan.title.empty() ? std::string("tavixTGCL2 demo") : m_plan.title);
    m_form->Move(0, 0, kFormWidth, kFormHeight);
    m_toolbar = m_form->create<XTgToolbar>("xtbRun");
    m_pane = m_form->create<XTgContentPane>("xcpContent");
    m_results = m_form->create<ListView>("lvwResults");
    m_results->setView(3);
    m_results->addColumn("Element", 4000);
    m_results->addColumn("Verdict", 1500);
    m_results->setSmallIcons({{"passed", verdictMark(0xFF1E9E4Au, 0xFF0B5E27u)},
                              {"failed", verdictMark(0xFFD83434u, 0xFF8A1010u)},
                              {"na", verdictMark(0xFFF2C230u, 0xFF9A7400u)},
                              {"none", verdictMark(0xFF3C78D8u, 0xFF1C4587u)},
                              {"open", verdictMark(0xFFFFFFFFu, 0xFFA0A0A0u)}});
    m_timer = m_form->create<Timer>("tmrRun");
    m_timer->setTimerEnabled(false);
    m_timer->setInterval(kTickMs);

    m_toolbar->Move(0, 0, kFormWidth, 600);
    m_toolbar->DefineButtons(etgActionAll, etgRunAllButtons);
    m_toolbar->AddToolsMenu(kToolReport, "Run &report", 0);
    // Stepwise sits in the Start button's drop-down and has no key of its
    // own; an operator without a mouse needs one.
    m_toolbar->AddAccelerator(ID_TGTBAR_STEP, vbKeyF9, etgKeyMaskShift);
    m_pane->setSplitterCaption("Results");
    m_pane->setResultView(m_results);

    // Host pages live in the pane, which places them in its own coordinates.
    m_help = m_pane->create<XRichEdit>("rtfHelp");
    m_help->setVisible(false);
    resumeNext([&] { m_help->setTextRTF(m_plan.help.empty() ? std::string("No help for this plan.") : m_plan.help); });
    m_pane->setHelpPageControl(m_help);

    m_measurements = m_pane->create<ListView>("lvwMeasurements");
    m_measurements->setVisible(false);
    m_measurements->setView(3);
    auto props = std::make_shared<CTabProperties>();
    props->Picture = measurementsPicture(123);
    props->SelectedPicture = measurementsPicture(127);
    props->SelectedColor = 0xF0F0F0;
    props->MaskColor = 0x0000FF;  // the built-in artwork's transparent red
    props->ToolTipText = m_plan.customTabTip;
    m_customTab = m_pane->AddCustomTab(props, m_measurements);

    for (std::size_t i = 0; i < m_plan.elements.size(); ++i) {
        ListItem item;
        item.Key = "e" + std::to_string(i);
        m_results->addItem(item);
        updateRow(i);
    }
}

void DemoHost::place() {
    // The toolbar keeps its own height; the pane takes the rest and places
    // the result view through ResizeResultView.
    const std::int32_t top = m_toolbar->Height();
    resumeNext([&] {
        m_toolbar->Move(0, 0, m_form->Width(), top);
        m_pane->Move(0, top, m_form->Width(), std::max(0, m_form->Height() - top));
    });
}

void DemoHost::connectEvents() {
    m_form->Resize.connect([this] { place(); });
    m_toolbar->Resize.connect([this] {
        m_log.add("Toolbar.Resize height " + std::to_string(m_toolbar->Height()) + " twips");
        place();
        // A new button size resets which row the status bar shows, and with
        // it the host's message; the host shows it again.
        if (!m_message.empty() && !m_running) m_toolbar->UpdateStatusBar(m_message);
    });
    m_toolbar->ButtonClick.connect([this](std::shared_ptr<CTgToolbarButton> b, bool accelerator) {
        onButton(b, accelerator);
    });
    m_toolbar->StandardSelectionChange.connect([this] {
        const auto& sel = m_toolbar->StandardSelection();
        m_log.add("Toolbar.StandardSelectionChange \"" + sel.CompleteName + "\"" +
                  (sel.CalculateLimits ? " (calculated limits shown)" : " (calculated limits hidden)"));
    });
    m_pane->TabClick.connect([this](std::int32_t tab) {
        m_log.add("Content.TabClick " + std::to_string(tab) + " (" + tabName(tab) + ")");
        if (tab == m_customTab) showMeasurements();
    });
    m_pane->CommentChange.connect([this] {
        // One event per keystroke: a run of them is one line with a count.
        const std::string text = "\"" + m_resultObjects[m_current]->Comment() + "\"";
        auto& lines = m_log.m_lines;
        if (m_log.m_commentRun > 0 && !lines.empty() && lines.size() == m_log.m_commentLine + 1) {
            ++m_log.m_commentRun;
            lines.back() = "Content.CommentChange " + text + " (" + std::to_string(m_log.m_commentRun) + " times)";
            return;
        }
        m_log.add("Content.CommentChange " + text);
        m_log.m_commentRun = 1;
        m_log.m_commentLine = lines.size() - 1;
    });
    m_pane->RequestPage.connect([this](std::int16_t tab, ObjectPtr&) {
        m_log.add("Content.RequestPage " + std::to_string(tab) + " (" + tabName(tab) + ")");
    });
    m_pane->ResizeResultView.connect([this](float l, float t, float w, float h) {
        const std::string g = twips(l, t, w, h);
        // Every layout pass reports the geometry; the log keeps changes.
        if (g != m_log.m_lastGeometry) {
            m_log.m_lastGeometry = g;
            m_log.add("Content.ResizeResultView " + g + " twips (state " + std::to_string(m_pane->ResultViewState()) + ")");
        }
        resumeNext([&] {
            m_results->Move(static_cast<std::int32_t>(std::lround(l)),
                            static_cast<std::int32_t>(std::lround(t)) + m_pane->Top(),
                            static_cast<std::int32_t>(std::lround(w)), static_cast<std::int32_t>(std::lround(h)));
        });
    });
    m_timer->Tick.connect([this] { tick(); });
}

void DemoHost::host(const std::string& what) { m_log.add("host: " + what); }

void DemoHost::status(const std::string& message, bool showProgress, bool animate) {
    m_message = message;
    m_toolbar->UpdateStatusBar(message, showProgress, animate);
}

std::optional<Verdict> DemoHost::outcome(std::size_t index) const {
    return index < m_outcomes.size() ? m_outcomes[index] : std::nullopt;
}

std::string DemoHost::comment(std::size_t index) const {
    return index < m_resultObjects.size() ? m_resultObjects[index]->Comment() : std::string();
}

std::int32_t DemoHost::progressPercent() const {
    const std::int32_t d = m_plan.elements.at(m_current).durationMs;
    return d <= 0 ? 100 : std::min(100, m_elapsedMs * 100 / d);
}

std::string DemoHost::summary() const {
    int counts[4] = {0, 0, 0, 0};
    int open = 0;
    for (const auto& o : m_outcomes)
        if (o) ++counts[static_cast<int>(*o)];
        else ++open;
    // Only what occurred, so the status bar's row can hold it.
    std::string s;
    auto part = [&](int n, const char* what) {
        if (n) s += (s.empty() ? "" : ", ") + std::to_string(n) + " " + what;
    };
    part(counts[1], "passed");
    part(counts[2], "failed");
    part(counts[3], "n/a");
    part(counts[0], "no verdict");
    part(open, "not run");
    return s.empty() ? "nothing run" : s;
}

void DemoHost::updateRow(std::size_t index) {
    resumeNext([&] {
        ListItem& item = m_results->item(static_cast<std::int32_t>(index) + 1);
        std::string mark = "";
        item.SmallIcon = "open";
        if (const auto& o = m_outcomes[index]) {
            switch (*o) {
                case Verdict::Passed: mark = "  PASSED"; item.SmallIcon = "passed"; break;
                case Verdict::Failed: mark = "  FAILED"; item.SmallIcon = "failed"; break;
                case Verdict::NotApplicable: mark = "  NOT APPLICABLE"; item.SmallIcon = "na"; break;
                case Verdict::None: mark = "  done, no verdict"; item.SmallIcon = "none"; break;
            }
        }
        item.Text = m_plan.elements[index].caption + (mark.empty() ? "" : "   \u2014" + mark);
        item.Ghosted = !m_outcomes[index];
        // Selection marks the element on show; the list repaints from it.
        m_results->setSelectedIndex(static_cast<std::int32_t>(m_current) + 1);
    });
}

void DemoHost::showMeasurements() {
    resumeNext([&] {
        m_measurements->clear();
        const auto& e = m_plan.elements[m_current];
        if (e.measurements.empty()) {
            ListItem none;
            none.Text = "No measurements for \"" + e.caption + "\".";
            m_measurements->addItem(none);
        }
        for (const auto& [name, value] : e.measurements) {
            ListItem item;
            item.Text = name + ":  " + (m_outcomes[m_current] ? value : std::string("(not measured yet)"));
            m_measurements->addItem(item);
        }
    });
}

void DemoHost::showElement(std::size_t index) {
    m_current = index;
    const auto& e = m_plan.elements[index];
    host("Initialize element " + std::to_string(index + 1) + " \"" + e.caption + "\"");
    // Initialize fills the Standards menu again and selects its first
    // entry; the operator's choice stays for the whole run.
    CTgStandardSel chosen = m_toolbar->StandardSelection();
    m_toolbar->Initialize(m_elements[index], m_setup);
    if (!chosen.CompleteName.empty() && chosen.CompleteName != m_toolbar->StandardSelection().CompleteName) {
        m_toolbar->SetStandardName(chosen.GroupName, chosen.CompleteName);
        host("standard kept: \"" + chosen.CompleteName + "\"");
    }
    m_pane->Initialize(m_elements[index], m_setup);
    m_pane->setCaption(e.caption);
    // The pane showed the element's procedure on Initialize; a host hands it
    // over again when it changes (here: the same text, to show the call).
    std::string text = e.procedure.text;
    m_pane->Content().SetProcedure(e.procedure.format, text);
    m_toolbar->DefineButtons(etgActionAll, etgRunAllButtons);
    if (const auto& o = m_outcomes[index]) {
        m_toolbar->SetButtonState(etgStateCompleted);
        m_toolbar->StatusBar().setStatus(static_cast<std::int16_t>(*o));
        status(*o == Verdict::None ? "Completed without a verdict" : "", false, false);
    } else {
        m_toolbar->SetButtonState(etgStateIdle);
        m_toolbar->StatusBar().setStatus(0);
        status("Ready: " + e.caption, false, false);
    }
    // Showing an element changes no row, only which one is selected.
    resumeNext([&] { m_results->setSelectedIndex(static_cast<std::int32_t>(index) + 1); });
    showMeasurements();
}

void DemoHost::onButton(const std::shared_ptr<CTgToolbarButton>& button, bool accelerator) {
    const std::int32_t id = button ? button->ID() : 0;
    m_log.add("Toolbar.ButtonClick " + std::to_string(id) + " " + commandName(id) +
              (accelerator ? " (accelerator)" : " (click)"));
    if (m_aborted) return;
    switch (id) {
        case ID_TGTBAR_START: start(false); break;
        case ID_TGTBAR_STEP: start(true); break;
        case ID_TGTBAR_STOP: stop(); break;
        case ID_TGTBAR_NEXT: next(); break;
        case ID_TGTBAR_PREV: previous(); break;
        case ID_TGTBAR_NA: markNotApplicable(); break;
        case ID_TGTBAR_SKIP: skip(); break;
        case ID_TGTBAR_ABORT: abort(); break;
        case kToolReport: host("report: " + summary()); break;
        default: break;
    }
}

void DemoHost::start(bool stepwise) {
    if (m_running || m_complete) return;
    const auto& e = m_plan.elements[m_current];
    m_running = true;
    m_stepwise = stepwise;
    m_elapsedMs = 0;
    m_outcomes[m_current].reset();
    updateRow(m_current);
    host(std::string(stepwise ? "run stepwise " : "run ") + "element " + std::to_string(m_current + 1));
    m_toolbar->SetButtonState(etgStateRunning);
    m_toolbar->StatusBar().setStatus(0);
    // Stepwise runs have no known end: the endless animation shows them.
    status(e.message.empty() ? "Running " + e.caption : e.message, true, stepwise);
    // A value would end the endless animation.
    if (!stepwise) resumeNext([&] { m_toolbar->ProgressBar().setValue(0); });
    m_timer->setTimerEnabled(true);
}

void DemoHost::tick() {
    if (!m_running) {
        m_timer->setTimerEnabled(false);
        return;
    }
    m_elapsedMs += kTickMs;
    if (!m_stepwise) {
        const auto percent = static_cast<std::int16_t>(progressPercent());
        // The bar's setters report their failures; a host keeps running.
        resumeNext([&] { m_toolbar->ProgressBar().setValue(percent); });
    }
    if (m_elapsedMs >= m_plan.elements[m_current].durationMs) finish();
}

void DemoHost::finish() {
    m_timer->setTimerEnabled(false);
    m_running = false;
    const Verdict v = m_plan.elements[m_current].verdict;
    m_outcomes[m_current] = v;
    auto result = m_resultObjects[m_current];
    result->setStatus(static_cast<std::int32_t>(v));
    host("element " + std::to_string(m_current + 1) + " " + std::string(verdictName(v)));
    status("", false, false);
    m_toolbar->StatusBar().setStatus(static_cast<std::int16_t>(v));
    // The blue "no verdict" look has no text of its own.
    if (v == Verdict::None) status("Completed without a verdict", false, false);
    m_toolbar->SetButtonState(etgStateCompleted);
    updateRow(m_current);
    showMeasurements();
}

void DemoHost::stop() {
    if (!m_running) return;
    m_timer->setTimerEnabled(false);
    m_running = false;
    host("element " + std::to_string(m_current + 1) + " stopped at " + std::to_string(progressPercent()) + " %");
    m_toolbar->SetButtonState(etgStateIdle);
    status("Stopped by the operator", false, false);
}

void DemoHost::markNotApplicable() {
    if (m_running) return;
    m_outcomes[m_current] = Verdict::NotApplicable;
    m_resultObjects[m_current]->setStatus(static_cast<std::int32_t>(Verdict::NotApplicable));
    host("element " + std::to_string(m_current + 1) + " marked not applicable");
    updateRow(m_current);
    next();
}

void DemoHost::skip() {
    if (m_running) return;
    m_outcomes[m_current].reset();
    m_resultObjects[m_current]->setStatus(0);
    m_resultObjects[m_current]->setComment(std::string());
    host("element " + std::to_string(m_current + 1) + " skipped, its results erased");
    updateRow(m_current);
    next();
}

void DemoHost::next() {
    if (m_running) return;
    if (m_current + 1 < m_elements.size()) {
        showElement(m_current + 1);
        return;
    }
    endRun();
}

void DemoHost::previous() {
    if (m_running || m_current == 0) return;
    m_complete = false;
    showElement(m_current - 1);
}

void DemoHost::endRun() {
    m_complete = true;
    host("run complete: " + summary());
    // Nothing is left to run; Previous still leads back.
    m_toolbar->DefineButtons(etgActionStandards, etgRunNone);
    m_toolbar->SetButtonState(etgStateIdle);
    status("Run complete: " + summary(), false, false);
}

void DemoHost::abort() {
    if (m_running) {
        m_timer->setTimerEnabled(false);
        m_running = false;
    }
    m_aborted = true;
    host("run aborted: " + summary());
    m_toolbar->DefineButtons(etgActionNone, etgRunNone);
    m_toolbar->SetButtonState(etgStateIdle);
    resumeNext([&] { m_toolbar->Button(ID_TGTBAR_PREV)->setEnabled(false); });
    resumeNext([&] { m_toolbar->Button(ID_TGTBAR_ABORT)->setEnabled(false); });
    status("Run aborted: " + summary(), false, false);
}

}  // namespace tavixTGCL2::demo
