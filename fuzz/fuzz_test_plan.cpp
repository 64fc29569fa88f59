// Test plans of the demo host (JSON with files beside the plan): a plan is
// either read whole or refused with a reason, and what is read keeps the
// reader's limits and never names a file outside the plan's folder.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "TestPlan.h"

using namespace tavixTGCL2::demo;
namespace fs = std::filesystem;

namespace {

// A plan folder with one procedure file, and a file beside the folder that
// no plan may reach.
const fs::path& planDir() {
    static const fs::path dir = [] {
        fs::path root = fs::temp_directory_path() / ("tgcl-fuzz-plan-" + std::to_string(::getpid()));
        fs::create_directories(root / "plan" / "sub");
        std::ofstream(root / "plan" / "p.txt") << "Set the supply to 12 V.";
        std::ofstream(root / "plan" / "sub" / "q.rtf") << "{\\rtf1 Read {\\b TP3}.\\par}";
        std::ofstream(root / "outside.txt") << "SECRET-OUTSIDE";
        return root / "plan";
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const PlanResult r = parsePlan(text, planDir());
    FUZZ_REQUIRE(r.plan.has_value() != !r.error.empty());
    if (!r.plan) return 0;
    const TestPlan& p = *r.plan;
    FUZZ_REQUIRE(!p.elements.empty() && p.elements.size() <= kMaxElements);
    FUZZ_REQUIRE(p.script.size() <= kMaxScriptSteps);
    const std::string root = "file://" + fs::weakly_canonical(planDir()).generic_string() + "/";
    for (const auto& e : p.elements) {
        const auto f = e.procedure.format;
        FUZZ_REQUIRE(f == 0 || f == 1 || f == 3 || f == 4);
        FUZZ_REQUIRE(e.durationMs >= 0 && e.durationMs <= kMaxDurationMs);
        FUZZ_REQUIRE(e.procedure.text.find("SECRET-OUTSIDE") == std::string::npos);
        // A file link is made from a name inside the folder.
        if (f == 4 && e.procedure.text.rfind("file://", 0) == 0 && text.find("\"url\"") == std::string_view::npos)
            FUZZ_REQUIRE(e.procedure.text.rfind(root, 0) == 0);
    }
    FUZZ_REQUIRE(p.styleSheet.find("SECRET-OUTSIDE") == std::string::npos);
    FUZZ_REQUIRE(p.help.find("SECRET-OUTSIDE") == std::string::npos);
    for (const auto& s : p.script) {
        if (s.kind == ScriptStep::Kind::Wait) FUZZ_REQUIRE(s.untilIdle || (s.ms >= 0 && s.ms <= 60000));
        if (s.kind == ScriptStep::Kind::Click) FUZZ_REQUIRE(s.command != 0);
        if (s.kind == ScriptStep::Kind::SplitterMenu) FUZZ_REQUIRE(s.menuItem >= 0 && s.menuItem <= 3);
    }
    return 0;
}
