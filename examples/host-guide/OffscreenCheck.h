#pragma once
// The guide's host checks itself: a short run through real calls, then a
// resize of the main window, with the controls' geometry compared against
// the window's before and after. CI runs it against the installed package.
#include <QString>

class HostWindow;
class TestRun;

namespace tavixTGCL2::qt {
class QtBackend;
}

// Returns the number of failed checks (each is printed as "ok - ..." or
// "FAILED - ..."). With pictures, leaves before-resize.png and
// after-resize.png in dir; results.csv is written there either way.
int runOffscreenCheck(tavixTGCL2::qt::QtBackend& backend, TestRun& run, HostWindow& window, const QString& dir,
                      bool pictures);
