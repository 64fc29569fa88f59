// The built-in plan: the files of apps/demo/plans/default, compiled into the
// program so the demo runs from any folder.
#include <fstream>

#include "DemoPlanResources.h"
#include "TestPlan.h"

namespace tavixTGCL2::demo {

std::optional<std::filesystem::path> exportDefaultPlan(const std::filesystem::path& dir, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        error = dir.string() + ": " + ec.message();
        return std::nullopt;
    }
    for (const auto& r : detail::embeddedResources()) {
        const auto path = dir / r.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(r.data), static_cast<std::streamsize>(r.size));
        out.close();
        if (!out) {
            error = path.string() + ": cannot be written";
            return std::nullopt;
        }
    }
    return dir / "plan.json";
}

}  // namespace tavixTGCL2::demo
