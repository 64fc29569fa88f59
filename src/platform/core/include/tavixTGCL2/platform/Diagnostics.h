#pragma once
// The errors the controls contain, made visible to a host that wants to see
// them. Containment itself does not change: an operation still skips the
// failing statement or stops at its first error, and nothing reaches the
// host's call. With a sink installed the host also learns what was
// contained, where, and why; without one nothing is reported or printed.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <functional>
#include <string>
#include <version>
#if __has_include(<source_location>)
#include <source_location>
#endif

namespace tavixTGCL2 {

// Where in the library an error was contained. The compiler fills it in at
// the call of a containing helper (resumeNext, stopOnError in Error.h,
// reportContained below); a helper that contains on behalf of its caller
// takes a SourceSite of its own and passes it on, so the report names the
// caller's operation rather than the helper.
struct SourceSite {
    const char* function = "";
    const char* file = "";
    std::uint32_t line = 0;

#if defined(__cpp_lib_source_location)
    static constexpr SourceSite current(std::source_location l = std::source_location::current()) noexcept {
        return {l.function_name(), l.file_name(), l.line()};
    }
#else
    // Compilers without std::source_location give the bare member name.
    static constexpr SourceSite current(const char* function = __builtin_FUNCTION(),
                                        const char* file = __builtin_FILE(),
                                        std::uint32_t line = __builtin_LINE()) noexcept {
        return {function, file, line};
    }
#endif
};

// One contained error.
struct TGCL_API ContainedError {
    // The operation it came from: the class and member that contained it
    // ("XTgToolbar", "DefineButtons"; a constructor is named after its
    // class). An in-library step that contains for itself names itself
    // ("XTgToolbar", "SetupStartButton"). control is empty for a free
    // function.
    std::string control;
    std::string member;
    // The error's number and text: Error::code() and what() for the
    // library's Error (what host objects throw, and what the platform
    // throws for a missing object, a bad index, a bad value...);
    // errOutOfMemory for std::bad_alloc; errInternal for anything else.
    std::int32_t number = 0;
    std::string text;
    // Neither an Error nor std::bad_alloc: a fault of the library itself
    // (an out-of-range access, a bad variant access...), or a host object
    // that broke its contract by throwing something other than Error. text
    // then starts with the exception's type.
    bool internalFault = false;
    // Where, for whoever mends it: the compiler's name of the containing
    // function, and the source file and line of the containment.
    std::string function;
    std::string file;
    std::uint32_t line = 0;

    // "XTgToolbar::DefineButtons", or the member alone.
    std::string operation() const;
};

using DiagnosticsSink = std::function<void(const ContainedError&)>;

// Installs the sink for the whole library (nullptr removes it) and returns
// the one it replaces. The sink is called on the thread that contained the
// error, right after the failing statement and before the operation goes
// on; what it throws is dropped. Errors contained while the sink itself runs
// (a sink that calls into the controls) are not passed to it again.
TGCL_API DiagnosticsSink setDiagnosticsSink(DiagnosticsSink sink);

// Reports the exception being handled as contained at `where`. Only valid
// inside a catch block; never throws. The containing helpers call it; so
// does every other place of the library that swallows an error.
TGCL_API void reportContained(SourceSite where = SourceSite::current()) noexcept;

// The test switch: with TGCL_FAIL_ON_INTERNAL_FAULT set to 1 in the
// environment, an internal fault is printed to stderr and ends the process
// (std::abort) once the sink has seen it, so that no test can pass over
// one. The library's own test suites run with it on.
TGCL_API bool internalFaultsFail() noexcept;

}  // namespace tavixTGCL2
