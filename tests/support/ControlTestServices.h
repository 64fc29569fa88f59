#pragma once
// The services a control test starts from, all put back when the test ends:
// the host kit's objects, an empty settings store in memory, a scripted
// presenter (no menu or dialog waits) and the virtual clock.
#include <memory>

#include "frame/HostServices.h"
#include "frame/MMain.h"
#include "frame/ServicesScope.h"
#include "platform/EventLoop.h"
#include "platform/MemorySettingsStore.h"
#include "platform/Presenter.h"
#include "platform/SettingsStore.h"

namespace tavixTGCL2::test_support {

struct ControlTestServices {
    ServicesScope scope;
    std::shared_ptr<MemorySettingsStore> store = std::make_shared<MemorySettingsStore>();
    std::shared_ptr<ScriptedPresenter> script = std::make_shared<ScriptedPresenter>();

    ControlTestServices() {
        setDefaultSettingsStore(store);
        HostServices::reset();
        setPresenter(script);
        EventLoop::current().useVirtualClock(true);
    }
};

// Start-up reads the store again when this goes. Declared before a
// fixture's services, it goes after them, so that the template page of a
// test's store does not outlive the test.
struct StartUpAgain {
    ~StartUpAgain() { MMain::restart(); }
};

}  // namespace tavixTGCL2::test_support
