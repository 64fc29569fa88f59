#pragma once
// The process-wide services for the length of a scope. Constructing a
// ServicesScope saves what is installed now; its destructor puts all of it
// back, also when the scope is left by an exception:
//   - the host objects of HostServices (each factory with the instance it
//     made, so the same translator object serves again),
//   - the presenter, the diagnostics sink, the default settings store,
//   - the link opener (ShellOpen), the browser's default fetcher,
//   - the font engine, the installed theme and the theming switch,
//   - whether the calling thread's event loop runs on the virtual clock.
// A host that installs its own services for one part of its run, or a test
// that swaps them, holds one around that part instead of undoing each
// change by hand. Scopes nest; the restoring is not synchronised with other
// threads installing services at the same time.
#include <tavixTGCL2/Export.h>
#include <memory>

namespace tavixTGCL2 {

class TGCL_API ServicesScope {
public:
    ServicesScope();
    ~ServicesScope();
    ServicesScope(const ServicesScope&) = delete;
    ServicesScope& operator=(const ServicesScope&) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
};

}  // namespace tavixTGCL2
