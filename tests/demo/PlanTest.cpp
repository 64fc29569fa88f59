// Test plans are outside input: the built-in plan must cover what the demo
// promises to show, and a bad plan must be refused with a message that
// says where, never half-read and never reaching outside its folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "TestPlan.h"

using namespace tavixTGCL2::demo;
namespace fs = std::filesystem;

namespace {

class PlanFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tgcl-plan-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "plan");
    }
    void TearDown() override { fs::remove_all(dir); }
    void write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
    PlanResult parse(const std::string& json) { return parsePlan(json, dir / "plan"); }
    static std::string withElement(const std::string& element) {
        return R"({"elements": [)" + element + "]}";
    }
    fs::path dir;
};

}  // namespace

TEST_F(PlanFiles, TheBuiltInPlanCoversEveryFormatVerdictAndSeveralStandards) {
    std::string error;
    auto file = exportDefaultPlan(dir / "default", error);
    ASSERT_TRUE(file) << error;
    PlanResult r = loadPlan(*file);
    ASSERT_TRUE(r.plan) << r.error;
    const TestPlan& p = *r.plan;
    std::set<int> formats, verdicts;
    bool failingLink = false;
    for (const auto& e : p.elements) {
        formats.insert(e.procedure.format);
        verdicts.insert(static_cast<int>(e.verdict));
        if (e.procedure.format == 4 && e.procedure.text.rfind("file://", 0) == 0) {
            std::string path = e.procedure.text.substr(7);
            failingLink |= !fs::exists(path);
        }
    }
    EXPECT_EQ(formats, (std::set<int>{0, 1, 3, 4}));
    EXPECT_EQ(verdicts, (std::set<int>{0, 1, 2, 3}));
    EXPECT_TRUE(failingLink);
    EXPECT_GE(p.standards.size(), 2u);
    EXPECT_FALSE(p.styleSheet.empty());
    EXPECT_EQ(p.help.rfind("{\\rtf", 0), 0u);
    std::set<ScriptStep::Kind> kinds;
    for (const auto& s : p.script) kinds.insert(s.kind);
    EXPECT_EQ(kinds.size(), 9u) << "the script uses every kind of operator action";
}

TEST_F(PlanFiles, ProceduresComeInlineOrFromFilesBesideThePlan) {
    write(dir / "plan" / "p.rtf", "{\\rtf1 Hi}");
    auto r = parse(withElement(R"({"caption": "A", "procedure": {"format": "rtf", "file": "p.rtf"}},
        {"caption": "B", "procedure": {"format": "link", "file": "sub dir/page #1.html"}, "verdict": "FAILED"},
        {"caption": "C", "procedure": {"format": "link", "url": "https://example.invalid/x"}, "durationMs": 0})"));
    ASSERT_TRUE(r.plan) << r.error;
    const auto& els = r.plan->elements;
    EXPECT_EQ(els[0].procedure.text, "{\\rtf1 Hi}");
    EXPECT_EQ(els[0].verdict, Verdict::Passed);
    // A file link need not exist yet; its name is encoded into the address.
    EXPECT_EQ(els[1].procedure.text.rfind("file://", 0), 0u);
    EXPECT_NE(els[1].procedure.text.find("sub%20dir/page%20%231.html"), std::string::npos);
    EXPECT_EQ(els[1].verdict, Verdict::Failed);
    EXPECT_EQ(els[2].procedure.text, "https://example.invalid/x");
    EXPECT_EQ(els[2].durationMs, 0);
}

TEST_F(PlanFiles, FilesOutsideThePlansFolderAreRefused) {
    write(dir / "secret.txt", "not for plans");
    fs::create_symlink(dir / "secret.txt", dir / "plan" / "link.txt");
    for (const char* name : {"../secret.txt", "/etc/passwd", "link.txt", "a/../../secret.txt"}) {
        auto r = parse(withElement(std::string(R"({"caption": "A", "procedure": {"format": "plain", "file": ")") + name +
                                   "\"}}"));
        EXPECT_FALSE(r.plan) << name;
        EXPECT_NE(r.error.find("elements[0].procedure.file"), std::string::npos) << r.error;
    }
    auto viaLink = parse(withElement(R"({"caption": "A", "procedure": {"format": "link", "file": "../secret.txt"}})"));
    EXPECT_FALSE(viaLink.plan);
}

TEST_F(PlanFiles, MistakesAreNamedByWhereTheyAre) {
    struct Case {
        std::string json, where;
    } cases[] = {
        {"[1, 2]", "a plan is a JSON object"},
        {"{\"elements\": []}", "elements: expected a non-empty array"},
        {"{\"elements\": [{\"caption\": \"A\"}], \"titel\": \"x\"}", "titel: unknown field"},
        {withElement(R"({"caption": "A", "procedure": {"format": "pdf", "text": "x"}})"), "elements[0].procedure.format"},
        {withElement(R"({"caption": "A", "procedure": {"format": "plain", "text": "x", "file": "y"}})"), "exactly one"},
        {withElement(R"({"caption": "A", "procedure": {"format": "plain", "file": "missing.txt"}})"), "not a readable file"},
        {withElement(R"({"caption": "A", "procedure": {"format": "plain", "text": "x"}, "durationMs": 1e9})"), "durationMs"},
        {withElement(R"({"caption": "A", "procedure": {"format": "plain", "text": "x"}, "verdict": "great"})"), "verdict"},
        {withElement(R"({"caption": 5, "procedure": {"format": "plain", "text": "x"}})"), "elements[0].caption: expected a string"},
        {R"({"elements": [{"caption": "A", "procedure": {"format": "plain", "text": "x"}}], "script": [{"key": "F9", "tab": 1}]})",
         "script[0]: one action per step"},
        {R"({"elements": [{"caption": "A", "procedure": {"format": "plain", "text": "x"}}], "script": [{"click": "launch"}]})",
         "script[0].click"},
        {R"({"elements": [{"caption": "A", "procedure": {"format": "plain", "text": "x"}}], "script": [{"customize": {"size": "huge"}}]})",
         "script[0].customize.size"},
        {"{\"elements\": [", "not valid JSON"},
        {std::string(100, '[') + std::string(100, ']'), "nested deeper"},
    };
    for (const auto& c : cases) {
        auto r = parse(c.json);
        EXPECT_FALSE(r.plan) << c.json;
        EXPECT_NE(r.error.find(c.where), std::string::npos) << c.json << " -> " << r.error;
    }
}

TEST_F(PlanFiles, ScriptStepsReadTheirArguments) {
    auto r = parse(R"({"elements": [{"caption": "A", "procedure": {"format": "plain", "text": "x"}}],
        "script": [{"key": "Ctrl+N", "note": "n"}, {"tab": "custom"}, {"tab": 6}, {"splitter": "click"},
                   {"splitter": "minimize"}, {"wait": "idle"}, {"wait": 250}, {"click": "step"},
                   {"customize": {"labels": "all", "faded": false, "move": {"entry": "Skip", "by": -2}, "finish": "cancel"}}]})");
    ASSERT_TRUE(r.plan) << r.error;
    const auto& s = r.plan->script;
    ASSERT_EQ(s.size(), 9u);
    EXPECT_EQ(s[0].key, "Ctrl+N");
    EXPECT_EQ(s[0].note, "n");
    EXPECT_EQ(s[1].tab, 4);
    EXPECT_EQ(s[2].tab, 6);
    EXPECT_EQ(s[3].kind, ScriptStep::Kind::Splitter);
    EXPECT_EQ(s[4].menuItem, 3);
    EXPECT_TRUE(s[5].untilIdle);
    EXPECT_EQ(s[6].ms, 250);
    EXPECT_EQ(s[7].command, commandByName("step"));
    EXPECT_EQ(s[8].customize.labels, 2);
    EXPECT_EQ(s[8].customize.faded, false);
    EXPECT_EQ(s[8].customize.moveBy, -2);
    EXPECT_FALSE(s[8].customize.ok);
}
