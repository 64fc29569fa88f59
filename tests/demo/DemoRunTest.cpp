// The demo program itself, offscreen on a small plan: what it leaves behind
// is what a person looks through, so the log and the pictures are checked.
#ifdef TGCL_DEMO_EXE
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <tavixTGCL2/png/PngFile.h>
#include <tavixTGCL2/platform/Surface.h>

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int runDemo(const std::vector<std::string>& args) {
    pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv{const_cast<char*>(TGCL_DEMO_EXE)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(TGCL_DEMO_EXE, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Two elements, every kind of step but the splitter menu.
fs::path writeSmallPlan(const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir / "plan");
    std::ofstream(dir / "plan" / "p.rtf") << "{\\rtf1\\ansi {\\b Bold} step.\\par}";
    std::ofstream(dir / "plan" / "plan.json") << R"({
      "title": "Small run",
      "standards": [{"group": "A", "name": "Std A"}, {"group": "B", "name": "Std B"}],
      "elements": [
        {"caption": "One", "procedure": {"format": "plain", "text": "Plain."}, "verdict": "passed", "durationMs": 400},
        {"caption": "Two", "procedure": {"format": "rtf", "file": "p.rtf"}, "verdict": "failed", "durationMs": 200}],
      "script": [
        {"key": "F9"}, {"wait": 150}, {"wait": "idle"}, {"key": "Ctrl+N"},
        {"tab": "comment"}, {"type": "fine"}, {"splitter": "click"}, {"standard": "Std B"},
        {"click": "start"}, {"wait": "idle"},
        {"customize": {"labels": "all", "finish": "ok"}}]})";
    return dir / "plan" / "plan.json";
}

}  // namespace

TEST(DemoRun, ASmallPlanLeavesItsEventLogAndAPicturePerStep) {
    const fs::path dir = fs::path(TGCL_TEST_OUT_DIR) / "demo-run";
    writeSmallPlan(dir);
    const fs::path out = dir / "out";
    ASSERT_EQ(runDemo({"--plan", (dir / "plan" / "plan.json").string(), "--out", out.string(), "--script", "--quiet"}), 0);

    const std::string log = slurp(out / "events.log");
    std::size_t at = 0;
    for (const char* line : {"Toolbar.ButtonClick 202 Start (accelerator)", "host: element 1 passed",
                             "Toolbar.ButtonClick 103 Next (accelerator)", "Content.TabClick 1 (comment)",
                             "Content.CommentChange \"fine\" (4 times)", "(state 1)", "Toolbar.StandardSelectionChange \"Std B\"",
                             "Toolbar.ButtonClick 202 Start (click)", "host: element 2 failed", "Toolbar.Resize"}) {
        const std::size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << log;
        at = found;
    }
    EXPECT_EQ(log.find("not done"), std::string::npos) << log;
    // The host's sink writes what the controls contain into the log; a sound
    // plan on the built-in texts gives them nothing to contain.
    EXPECT_EQ(log.find("library: "), std::string::npos) << log;

    const std::string index = slurp(out / "index.html");
    int pictures = 0;
    for (const auto& e : fs::directory_iterator(out)) {
        if (e.path().extension() != ".png") continue;
        ++pictures;
        EXPECT_NE(index.find(e.path().filename().string()), std::string::npos) << e.path();
        tavixTGCL2::Surface s;
        ASSERT_TRUE(tavixTGCL2::readPng(e.path().string(), s)) << e.path();
        // The form is 800 x 600 pixels; menus may reach beyond it.
        EXPECT_GE(s.width(), 800) << e.path();
        EXPECT_GE(s.height(), 600) << e.path();
    }
    // The opening picture, one per step, and the menus and dialog seen inside steps.
    EXPECT_GE(pictures, 12 + 3);
}

// The same plan with no mouse at all, at scale 1 and again at 2: every
// step is reached by Tab, arrows, Space, Enter, Shift+F10 and accelerators.
TEST(DemoRun, TheKeyboardAloneRunsThePlanAtBothScales) {
    const fs::path dir = fs::path(TGCL_TEST_OUT_DIR) / "demo-keys";
    const fs::path plan = writeSmallPlan(dir);
    const fs::path out = dir / "out";
    ASSERT_EQ(runDemo({"--plan", plan.string(), "--out", out.string(), "--script", "--quiet", "--keys-only", "--scale", "2"}), 0);

    const std::string log = slurp(out / "events.log");
    std::size_t at = 0;
    for (const char* line : {"Toolbar.ButtonClick 202 Start (accelerator)", "host: element 1 passed",
                             "Content.TabClick 1 (comment)", "Content.CommentChange \"fine\"", "(state 1)",
                             "Toolbar.StandardSelectionChange \"Std B\"", "Toolbar.ButtonClick 202 Start (accelerator)",
                             "host: element 2 failed", "Toolbar.Resize"}) {
        const std::size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << log;
        at = found;
    }
    EXPECT_EQ(log.find("not done"), std::string::npos) << log;
    const std::string index = slurp(out / "index.html");
    EXPECT_NE(index.find(" 0 mouse events reached a widget"), std::string::npos);

    // The run at 2 is beside it, twice the pixels, and the report shows both.
    const fs::path twice = out / "scale-2x";
    EXPECT_NE(slurp(twice / "index.html").find(" 0 mouse events reached a widget"), std::string::npos);
    int paired = 0;
    for (const auto& e : fs::directory_iterator(twice)) {
        if (e.path().extension() != ".png") continue;
        tavixTGCL2::Surface big, small;
        ASSERT_TRUE(tavixTGCL2::readPng(e.path().string(), big)) << e.path();
        if (!tavixTGCL2::readPng((out / e.path().filename()).string(), small)) continue;
        EXPECT_EQ(big.width(), 2 * small.width()) << e.path();
        EXPECT_EQ(big.height(), 2 * small.height()) << e.path();
        // The same picture, not a 1x one in a corner of a larger canvas:
        // the tab strip's solid blue runs down the left edge of both.
        int agree = 0;
        for (int y : {small.height() / 2, small.height() * 3 / 4, small.height() - 12})
            agree += big.pixel(10, 2 * y) == small.pixel(5, y) && small.pixel(5, y) != tavixTGCL2::Surface::kWhite;
        EXPECT_GE(agree, 2) << e.path() << ": " << agree << " of 3 points agree";
        if (index.find("scale-2x/" + e.path().filename().string()) != std::string::npos) ++paired;
    }
    EXPECT_GE(paired, 12);
}

TEST(DemoRun, ABadPlanIsRefusedWithItsReason) {
    const fs::path dir = fs::path(TGCL_TEST_OUT_DIR) / "demo-bad";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "plan.json") << R"({"elements": [{"caption": "x", "procedure": {"format": "plain", "file": "../../etc/passwd"}}]})";
    EXPECT_EQ(runDemo({"--plan", (dir / "plan.json").string(), "--out", (dir / "out").string(), "--script", "--quiet"}), 1);
    EXPECT_EQ(runDemo({"--no-such-option"}), 2);
}
#endif
