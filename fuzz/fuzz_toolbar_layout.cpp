// The toolbar's button layout as it comes back from the settings store
// ("<id>:<group flag>;" entries, e.g. "101:0;102:0;201:1;"), applied directly
// and through a full load of the stored toolbar settings.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "frame/HostServices.h"
#include "platform/CommandBar.h"
#include "platform/CommandBarControl.h"
#include "platform/EventLoop.h"
#include "platform/MemorySettingsStore.h"
#include "platform/Presenter.h"
#include "toolbar/XTgToolbar.h"

using namespace tavixTGCL2;

namespace {

std::multiset<std::int32_t> controlIds(const XTgToolbar& tb) {
    std::multiset<std::int32_t> ids;
    auto& controls = tb.Bar()->Controls();
    for (std::int32_t i = 1; i <= controls.Count(); ++i) ids.insert(controls.Item(i)->Id());
    return ids;
}

// What ButtonLayout writes: "<digits>:<0|1>;" entries and nothing else.
bool wellFormedLayout(const std::string& layout) {
    std::size_t i = 0;
    while (i < layout.size()) {
        const std::size_t digits = layout.find_first_not_of("0123456789", i);
        if (digits == i || digits == std::string::npos || digits + 3 > layout.size()) return false;
        if (layout[digits] != ':' || (layout[digits + 1] != '0' && layout[digits + 1] != '1') ||
            layout[digits + 2] != ';')
            return false;
        i = digits + 3;
    }
    return true;
}

SettingsValue storedValue(fuzz::Bytes& in) {
    // One byte chooses the type, as the store may hold either for any name.
    if (in.byte() & 1u) return std::string(in.piece());
    std::int32_t n = 0;
    for (int k = 0; k < 4; ++k) n = static_cast<std::int32_t>(static_cast<std::uint32_t>(n) << 8 | in.byte());
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] {
        setPresenter(std::make_shared<ScriptedPresenter>());
        EventLoop::current().useVirtualClock(true);
        return true;
    }();
    (void)ready;
    auto store = std::make_shared<MemorySettingsStore>();
    setDefaultSettingsStore(store);
    HostServices::reset();

    fuzz::Bytes in(data, size);
    const std::string layout(in.piece());
    {
        // Whatever the layout says, the bar keeps every control exactly once,
        // and what it then reports is a layout that reproduces itself.
        auto tb = std::make_shared<XTgToolbar>();
        tb->Move(0, 0, 9000, 600);
        const auto ids = controlIds(*tb);
        tb->ApplyButtonLayout(layout);
        FUZZ_REQUIRE(controlIds(*tb) == ids);
        const std::string reported = tb->ButtonLayout();
        FUZZ_REQUIRE(wellFormedLayout(reported));
        tb->ApplyButtonLayout(reported);
        FUZZ_REQUIRE(tb->ButtonLayout() == reported);
        FUZZ_REQUIRE(controlIds(*tb) == ids);
    }

    // The same layout with fuzzed companions read back by a new toolbar;
    // saving it again stores what the bar shows.
    const std::string key = XTgToolbar::SettingsKey();
    store->write(HKEY_LOCAL_MACHINE, key, "Toolbar", layout);
    for (const char* name : {"ButtonSize", "TextLabels", "VisualStyle", "FadedIcons"})
        if (!in.empty()) store->write(HKEY_LOCAL_MACHINE, key, name, storedValue(in));
    auto tb = std::make_shared<XTgToolbar>();
    tb->Move(0, 0, 9000, 600);
    const auto ids = controlIds(*tb);
    tb->LoadToolbarLayout();
    FUZZ_REQUIRE(controlIds(*tb) == ids);
    tb->SaveToolbarLayout();
    const auto saved = store->read(HKEY_LOCAL_MACHINE, key, "Toolbar");
    FUZZ_REQUIRE(saved && std::get<std::string>(*saved) == tb->ButtonLayout());

    tb.reset();
    setDefaultSettingsStore(nullptr);
    HostServices::reset();
    return 0;
}
