#include "TestRun.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>

using namespace tavixTGCL2;

namespace {

// The host's plan: one step per procedure format.
std::vector<GuideStep> planSteps() {
    return {
        {"1  Visual inspection", etgProcPlainText,
         "Inspect the housing, the front panel and the mains cord.\r\n\r\n"
         "1. No cracks or loose parts in the housing.\r\n"
         "2. All terminals are marked (+, -, earth).\r\n"
         "3. The mains cord carries the approval mark.\r\n\r\n"
         "Press Start (F9) when done.",
         1, ""},
        {"2  Insulation resistance", etgProcRichText,
         "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green64\\blue143;\\red192\\green0\\blue0;}\n"
         "{\\cf1\\b\\fs24 Insulation resistance\\par}\n"
         "\\pard\\fs20 Disconnect the mains cord and switch the unit on.\\par\n"
         "{\\b 1.} Connect the tester between the mains pins and the output terminals.\\par\n"
         "{\\b 2.} Apply {\\b 500 V DC} for 60 s and read the resistance.\\par\n"
         "{\\cf2\\b Caution:} discharge the unit before touching the terminals.\\par\n}",
         1, ""},
        {"3  Output ripple", etgProcHtmlFragment,
         "<h3>Output ripple</h3>"
         "<p class=\"step\"><b>1.</b> Set the output to 12 V and load it with 3 A.</p>"
         "<p class=\"step\"><b>2.</b> Read the ripple on the scope (20 MHz bandwidth).</p>"
         "<div class=\"limit\">Limit: 10 mV peak to peak</div>",
         2,
         "<h3>Output ripple: failed</h3>"
         "<p>Measured <b>14.2 mV</b> peak to peak; the limit is 10 mV.</p>"
         "<p>Check the output capacitors, then run the step again.</p>"},
    };
}

// Applied by the procedure pane to every HTML fragment (the host setting "ProcCSS").
constexpr const char* kStyleSheet =
    "body { font-family: 'DejaVu Sans', sans-serif; font-size: 10pt; }\n"
    "h3 { color: #01408f; border-bottom: 1px solid #9fb8dd; }\n"
    ".limit { background: #fff4d6; border: 1px solid #e0b84a; padding: 4px 8px; }\n";

const char* verdictText(std::int32_t v) {
    switch (v) {
        case 1: return "PASSED";
        case 2: return "FAILED";
        case 3: return "NOT APPLICABLE";
        default: return "";
    }
}

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TestRun::TestRun(QObject* parent) : QObject(parent), m_steps(planSteps()) {
    auto standards = std::make_shared<SimpleStandardsList>(std::vector<std::pair<std::string, std::string>>{
        {"IEC", "IEC 61010-1:2010"}, {"UL", "UL 61010-1 3rd edition"}, {"EN", "EN 61204-3:2018"}});
    auto dut = std::make_shared<SimpleDutInfo>(std::vector<std::pair<std::string, std::string>>{
        {"Model", "PSU-12 bench power supply"}, {"Serial number", "SN 2026-00417"}, {"Firmware", "3.2.1"}});
    m_setup = std::make_shared<SimpleTestSetup>(dut, standards);
    for (const GuideStep& s : m_steps) {
        auto result = std::make_shared<SimpleTestResult>();
        m_resultObjects.push_back(result);
        m_elements.push_back(
            std::make_shared<SimpleTestElement>(std::make_shared<SimpleElementInfo>(s.caption, s.format, s.procedure), result));
    }
    // Host objects the library asks for by itself come through HostServices.
    auto settings = std::make_shared<SimpleSettings>();
    settings->setValue(XPaneProcedure::kStyleSheetSetting, kStyleSheet);
    HostServices::setSettingsFactory([settings] { return settings; });

    m_timer.setInterval(60);
    connect(&m_timer, &QTimer::timeout, this, &TestRun::tick);
    buildForm();
    connectControlEvents();
    place();
    showStep(0);
}

TestRun::~TestRun() {
    m_timer.stop();
    // The form may outlive this object inside the window's QtControlHost:
    // none of its events may reach this object any more.
    for (Connection& c : m_connections) c.disconnect();
    // The pane lets go of the host's objects (element, setup, result view).
    m_pane->Terminate();
    HostServices::setSettingsFactory(nullptr);
}

void TestRun::buildForm() {
    m_form = std::make_shared<Form>("frmRun");
    m_form->setCaption("Guided test");
    // Twips. A first size only: once embedded, the form follows its widget.
    m_form->Move(0, 0, 15000, 10500);
    m_toolbar = m_form->create<XTgToolbar>("xtbRun");
    m_pane = m_form->create<XTgContentPane>("xcpContent");

    // The result view is a child of the pane: ResizeResultView's rectangle
    // is in the pane's coordinates, which are then the list's own parent's.
    m_results = m_pane->create<ListView>("lvwResults");
    m_results->setView(3);
    m_results->addColumn("Step", 6000);
    for (std::size_t i = 0; i < m_steps.size(); ++i) {
        ListItem item;
        item.Text = m_steps[i].caption;
        item.Ghosted = true;
        m_results->addItem(item);
    }
    m_pane->setSplitterCaption("Results");
    m_pane->setResultView(m_results);

    m_toolbar->DefineButtons(etgActionAll, etgRunStartAndStop);
    m_toolbar->AddToolsMenu(kToolExport, "&Export results", 0);
    m_toolbar->AddAccelerator(kToolExport, vbKeyR, etgKeyMaskCtrl);
}

void TestRun::connectControlEvents() {
    m_connections.push_back(m_form->Resize.connect([this] { place(); }));
    // The toolbar changes its own height (button size, captions).
    m_connections.push_back(m_toolbar->Resize.connect([this] { place(); }));
    m_connections.push_back(m_toolbar->ButtonClick.connect(
        [this](std::shared_ptr<CTgToolbarButton> button, bool fAccelerator) { onButtonClick(button, fAccelerator); }));
    m_connections.push_back(m_toolbar->StandardSelectionChange.connect(
        [this] { emit standardChanged(q(m_toolbar->StandardSelection().CompleteName)); }));
    // Twips, relative to the pane. The pane has moved the list there
    // already; with no room (results hidden, or minimised) the host hides it.
    m_connections.push_back(m_pane->ResizeResultView.connect(
        [this](float, float, float width, float height) { m_results->setVisible(width > 0 && height > 0); }));
    // Raised for each edit of the operator's; the text also goes to the
    // element's result (SimpleTestResult::Comment).
    m_connections.push_back(m_pane->CommentChange.connect(
        [this] { emit commentChanged(static_cast<int>(m_current), q(m_pane->OperatorComment())); }));
}

void TestRun::place() {
    // Twips, in the form's client area: the toolbar keeps the height it
    // chose, the pane takes the rest.
    const std::int32_t width = m_form->ScaleWidth();
    const std::int32_t top = m_toolbar->Height();
    m_toolbar->Move(0, 0, width, top);
    m_pane->Move(0, top, width, std::max(0, m_form->ScaleHeight() - top));
}

void TestRun::showStep(std::size_t index) {
    m_current = index;
    const GuideStep& step = m_steps[index];
    // Initialize fills the Standards menu again and selects its first entry;
    // the operator's choice is kept for the whole run.
    const CTgStandardSel chosen = m_toolbar->StandardSelection();
    m_toolbar->Initialize(m_elements[index], m_setup);
    if (!chosen.CompleteName.empty()) m_toolbar->StatusBar().SetStandardName(chosen.GroupName, chosen.CompleteName);
    // SetStandardName raises no StandardSelectionChange; the window hears it here.
    emit standardChanged(q(m_toolbar->StandardSelection().CompleteName));
    // Shows the element's caption and procedure (ProcFormat, ProcText).
    m_pane->Initialize(m_elements[index], m_setup);
    m_toolbar->DefineButtons(etgActionAll, etgRunStartAndStop);
    const std::int32_t v = verdict(index);
    m_toolbar->SetButtonState(v ? etgStateCompleted : etgStateIdle);
    m_toolbar->StatusBar().setStatus(static_cast<std::int16_t>(v));
    setStatus(v ? std::string() : "Ready: " + step.caption, false);
    m_results->setSelectedIndex(static_cast<std::int32_t>(index) + 1);
    emit stepShown(static_cast<int>(index), q(step.caption));
}

bool TestRun::press(int commandId) { return m_toolbar->ExecuteCommand(commandId); }

void TestRun::chooseStandard(int screenX, int screenY) {
    m_toolbar->ShowStandardsPopup(std::nullopt, screenX, screenY);
}

void TestRun::onButtonClick(const std::shared_ptr<CTgToolbarButton>& button, bool) {
    switch (button ? static_cast<std::int32_t>(button->ID()) : 0) {
        case ID_TGTBAR_START: start(); break;
        case ID_TGTBAR_STOP: stop(); break;
        case ID_TGTBAR_NEXT: next(); break;
        case ID_TGTBAR_SKIP: next(); break;
        case ID_TGTBAR_PREV: previous(); break;
        case ID_TGTBAR_NA: markNotApplicable(); break;
        case ID_TGTBAR_ABORT: abort(); break;
        case kToolExport: exportResults(); break;
        default: break;
    }
}

void TestRun::setStatus(const std::string& message, bool showProgress) {
    // An empty message gives the verdict its row back.
    m_toolbar->UpdateStatusBar(message, showProgress, false);
    emit statusChanged(q(message));
}

void TestRun::start() {
    if (running() || m_complete || m_aborted) return;
    m_ticks = 0;
    m_resultObjects[m_current]->setStatus(0);
    m_toolbar->SetButtonState(etgStateRunning);
    m_toolbar->StatusBar().setStatus(0);
    setStatus("Measuring: " + m_steps[m_current].caption, true);
    m_timer.start();
}

void TestRun::tick() {
    ++m_ticks;
    // The progress bar's setters are the one place where the library
    // reports an error to the host; a run goes on without its bar.
    try {
        m_toolbar->ProgressBar().setValue(static_cast<std::int16_t>(m_ticks * 100 / kTicksPerStep));
    } catch (const Error& e) {
        qWarning("progress bar: %s", e.what());
    }
    if (m_ticks >= kTicksPerStep) finish();
}

void TestRun::finish() {
    m_timer.stop();
    const GuideStep& step = m_steps[m_current];
    m_resultObjects[m_current]->setStatus(step.verdict);
    setStatus("", false);
    m_toolbar->StatusBar().setStatus(static_cast<std::int16_t>(step.verdict));
    m_toolbar->SetButtonState(etgStateCompleted);
    // What to do about a failure replaces the procedure.
    if (step.verdict == 2 && !step.finding.empty()) m_pane->Content().SetProcedure(etgProcHtmlFragment, step.finding);
    updateRow(m_current);
    emit stepFinished(static_cast<int>(m_current), step.verdict);
}

void TestRun::stop() {
    if (!running()) return;
    m_timer.stop();
    m_toolbar->SetButtonState(etgStateIdle);
    setStatus("Stopped by the operator", false);
}

void TestRun::markNotApplicable() {
    if (running()) return;
    m_resultObjects[m_current]->setStatus(3);
    updateRow(m_current);
    next();
}

void TestRun::next() {
    if (running() || m_aborted) return;
    if (m_current + 1 < m_steps.size()) {
        showStep(m_current + 1);
        return;
    }
    m_complete = true;
    // Nothing left to run; Previous still leads back.
    m_toolbar->DefineButtons(etgActionStandards, etgRunNone);
    m_toolbar->SetButtonState(etgStateIdle);
    setStatus("Run complete: " + summary(), false);
    emit runComplete(q(summary()));
}

void TestRun::previous() {
    if (running() || m_aborted || m_current == 0) return;
    m_complete = false;
    showStep(m_current - 1);
}

void TestRun::abort() {
    m_timer.stop();
    m_aborted = true;
    m_toolbar->DefineButtons(etgActionNone, etgRunNone);
    m_toolbar->SetButtonState(etgStateIdle);
    setStatus("Run aborted: " + summary(), false);
}

void TestRun::exportResults() {
    QFile file(m_exportPath);
    if (m_exportPath.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        setStatus("Cannot write the results to \"" + m_exportPath.toStdString() + "\"", false);
        return;
    }
    QTextStream out(&file);
    out << "step;verdict;comment\n";
    for (std::size_t i = 0; i < m_steps.size(); ++i)
        out << q(m_steps[i].caption) << ';' << verdictText(verdict(i)) << ';' << q(comment(i)).replace('\n', ' ')
            << '\n';
    file.close();
    setStatus("Results written to " + m_exportPath.toStdString(), false);
    emit resultsExported(m_exportPath, static_cast<int>(m_steps.size()));
}

void TestRun::updateRow(std::size_t index) {
    ListItem item;
    item.Text = m_steps[index].caption;
    if (const std::int32_t v = verdict(index)) item.Text += std::string("   \u2014  ") + verdictText(v);
    item.Ghosted = verdict(index) == 0;
    // A list item changed in place is not reported to the window; an item
    // replaced is.
    const auto row = static_cast<std::int32_t>(index) + 1;
    m_results->removeItem(row);
    m_results->addItem(item, row);
    m_results->setSelectedIndex(static_cast<std::int32_t>(m_current) + 1);
}

std::int32_t TestRun::verdict(std::size_t index) const {
    return index < m_resultObjects.size() ? m_resultObjects[index]->Status() : 0;
}

std::string TestRun::comment(std::size_t index) const {
    return index < m_resultObjects.size() ? m_resultObjects[index]->Comment() : std::string();
}

std::string TestRun::summary() const {
    int counts[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < m_steps.size(); ++i) ++counts[std::clamp(verdict(i), 0, 3)];
    return std::to_string(counts[1]) + " passed, " + std::to_string(counts[2]) + " failed, " +
           std::to_string(counts[3]) + " not applicable, " + std::to_string(counts[0]) + " open";
}
