// A host that keeps pictures of the controls: draws a progress bar, writes
// it as a PNG file and reads it back.
#include <tavixTGCL2/png/PngFile.h>
#include <tavixTGCL2/tavixTGCL2.h>

#include <iostream>
#include <memory>
#include <string>

using namespace tavixTGCL2;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: consumer-png FILE.png\n";
        return 2;
    }
    setDefaultSettingsStore(std::make_shared<MemorySettingsStore>());
    auto bar = std::make_shared<XTgProgressBar>("pgbRun");
    bar->Move(0, 0, Screen::toTwips(240), Screen::toTwips(24));
    bar->setValue(60);
    const Surface drawn = Compositor::render(*bar);

    std::string error;
    if (!writePng(drawn, argv[1], &error)) {
        std::cout << "FAILED - writing " << argv[1] << ": " << error << "\n";
        return 1;
    }
    Surface read;
    if (!readPng(argv[1], read, &error)) {
        std::cout << "FAILED - reading it back: " << error << "\n";
        return 1;
    }
    const bool same = read.width() == 240 && read.height() == 24 && read.width() == drawn.width() &&
                      read.height() == drawn.height() && read.pixel(12, 12) == drawn.pixel(12, 12) &&
                      read.pixel(228, 12) == drawn.pixel(228, 12) && drawn.pixel(12, 12) != drawn.pixel(228, 12);
    std::cout << (same ? "ok" : "FAILED") << " - a 240x24 progress bar at 60 % goes through " << argv[1] << "\n";
    return same ? 0 : 1;
}
