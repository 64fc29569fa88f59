#pragma once
// A guided test plan for the demo host, read from a JSON file (format in
// docs/demo.md): the device under test, the standards offered, the
// elements with their procedures and the outcome each reports, and an
// optional script of operator actions for unattended runs.
//
// Plans are outside input: every value is checked and an unusable plan is
// refused with one message naming where it went wrong
// ("elements[2].procedure.format: ..."), never half-read. Files a plan
// names must lie inside the plan's folder.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavixTGCL2::demo {

// The verdict codes are the status bar's.
enum class Verdict : std::int32_t { None = 0, Passed = 1, Failed = 2, NotApplicable = 3 };

std::string_view verdictName(Verdict v);

using NamedValues = std::vector<std::pair<std::string, std::string>>;

struct Procedure {
    // The procedure pane's codes: 0 plain text, 1 rich text, 3 an HTML
    // fragment shown in the template page, 4 a link.
    std::int16_t format = 0;
    // The text itself, or for a link the address to load.
    std::string text;
};

struct PlanElement {
    std::string caption;
    Procedure procedure;
    Verdict verdict = Verdict::Passed;
    // Shown in the status bar while the element runs.
    std::string message;
    std::int32_t durationMs = 1500;
    NamedValues measurements;
    std::string comment;
};

struct CustomizeAction {
    std::optional<std::int32_t> buttonSize;  // 0 small, 1 medium, 2 large
    std::optional<std::int32_t> labels;      // 0 none, 1 selective, 2 all
    std::optional<bool> faded;
    // Moves one entry of the button list: its caption and how many places
    // (negative: up).
    std::string moveEntry;
    std::int32_t moveBy = 0;
    bool restore = false;
    bool ok = true;  // false: Cancel
};

struct ScriptStep {
    enum class Kind {
        Key,           // key: "F9", "Ctrl+N", "Esc"
        Click,         // command: a toolbar command by name
        Tab,           // tab: index of the content pane's tab
        Splitter,      // a left click on the splitter bar
        SplitterMenu,  // menuItem: the splitter menu's item index (0 up .. 3 minimize)
        Type,          // text: typed into the comment box
        Standard,      // text: the complete name picked from Tools > Standards
        Customize,     // customize: operated in the Customize Toolbar dialog
        Wait           // ms, or untilIdle: until the running element has ended
    };
    Kind kind = Kind::Wait;
    std::string note;
    std::string key;
    std::int32_t command = 0;
    std::int32_t tab = 0;
    std::int32_t menuItem = 0;
    std::string text;
    std::int32_t ms = 0;
    bool untilIdle = false;
    CustomizeAction customize;
};

struct TestPlan {
    std::string title;
    NamedValues dut;
    // Group name and complete name of each standard offered.
    NamedValues standards;
    std::string styleSheet;
    // Shown on the help tab (rich text when it starts with "{\rtf").
    std::string help;
    std::string customTabTip = "Measurements";
    std::vector<PlanElement> elements;
    std::vector<ScriptStep> script;
};

// Limits that keep a hostile plan from taking the host down.
constexpr std::size_t kMaxPlanBytes = 4u << 20;
constexpr std::size_t kMaxFileBytes = 4u << 20;
constexpr std::size_t kMaxElements = 10000;
constexpr std::size_t kMaxScriptSteps = 10000;
constexpr std::int32_t kMaxDurationMs = 600000;

struct PlanResult {
    std::optional<TestPlan> plan;
    std::string error;  // empty when plan is set
};

// baseDir is where the files a plan names are looked for.
PlanResult parsePlan(std::string_view json, const std::filesystem::path& baseDir);
PlanResult loadPlan(const std::filesystem::path& file);

// The command identifier of a toolbar command name ("start", "next", ...),
// 0 for an unknown name.
std::int32_t commandByName(std::string_view name);

// The default plan shipped inside the program: writes its files into dir
// (replacing earlier copies) and returns the plan file's path.
std::optional<std::filesystem::path> exportDefaultPlan(const std::filesystem::path& dir, std::string& error);

}  // namespace tavixTGCL2::demo
