// A tiny host: links the installed library and uses it.
#include <tavixTGCL2/tavixTGCL2.h>

#include <iostream>
#include <memory>

int main() {
    using namespace tavixTGCL2;
    setDefaultSettingsStore(std::make_shared<MemorySettingsStore>());
    std::cout << "template page: " << MMain::TemplatePage() << "\n";
    std::cout << "text: " << TranslateText("253::Start") << "\n";
    return TranslateText("253::Start") == "Start" ? 0 : 1;
}
