#include "frame/MMain.h"

#include <mutex>

#include "frame/HostServices.h"
#include "platform/Diagnostics.h"

namespace tavixTGCL2::MMain {

namespace {

std::string g_templatePage;
std::once_flag g_once;
bool g_started = false;

void Main() {
    std::string page;
    try {
        auto reg = HostServices::NewRegistry();
        if (reg) {
            reg->OpenKey(HKEY_LOCAL_MACHINE, "Software\\Brenn\\tavix\\Executive\\Template");
            page = reg->ReadValue("Empty").toString();
        }
    } catch (...) {
        // Start-up never fails; a store that cannot be read means no page.
        reportContained();
        page.clear();
    }
    if (page.empty()) page = "about:blank";
    g_templatePage = page;
    g_started = true;
}

}  // namespace

void ensureStarted() {
    if (g_started) return;
    std::call_once(g_once, Main);
}

std::string TemplatePage() {
    ensureStarted();
    return g_templatePage;
}

void restart() { Main(); }

}  // namespace tavixTGCL2::MMain
