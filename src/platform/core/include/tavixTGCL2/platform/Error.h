#pragma once
// The one error type of the platform layer and the two ways the controls
// contain it: stop at the first error, or skip the failing statement.
#include <tavixTGCL2/Export.h>
#include <tavixTGCL2/platform/Diagnostics.h>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

namespace tavixTGCL2 {

// Error numbers follow the habit of the platform the controls were designed
// for, so hosts that compare them keep working.
enum ErrorCode : std::int32_t {
    errGeneric = 5,            // invalid procedure call or argument
    errOverflow = 6,
    errOutOfMemory = 7,
    errSubscript = 9,          // index out of range
    errTypeMismatch = 13,
    errInternal = 51,          // a fault of the library itself (see Diagnostics.h)
    errFileNotFound = 53,
    errIo = 57,
    errObjectRequired = 424,   // "nothing" was used as an object
    errNoSuchMember = 438,     // late-bound call to a member the object lacks
    errInvalidProperty = 380,  // property value out of range
    errDeletedObject = 91,     // the object behind a handle is gone
    errNotSupported = 445
};

class TGCL_API Error : public std::runtime_error {
public:
    explicit Error(std::int32_t code, const std::string& what)
        : std::runtime_error(what), m_code(code) {}
    explicit Error(const std::string& what) : Error(errGeneric, what) {}
    std::int32_t code() const noexcept { return m_code; }

private:
    std::int32_t m_code;
};

// A host object, a control found by identifier or any other reference that
// may be nothing, used as an object. On the platform the controls were
// designed for that is an error like any other, which the statement's
// containment then handles; here it would otherwise end the process.
// The reference lives as long as p: bind a call's result to a name before
// keeping the reference beyond the statement.
template <class P>
auto& required(const P& p, const char* what) {
    if (!p) throw Error(errObjectRequired, std::string("Object required: ") + what);
    return *p;
}

// "Skip the failing statement and go on": runs one statement and swallows
// any error it raises, reporting it to the diagnostics sink as contained at
// the call (Diagnostics.h). Returns whether the statement ran through.
template <class F>
bool resumeNext(F&& statement, SourceSite where = SourceSite::current()) noexcept {
    try {
        statement();
        return true;
    } catch (...) {
        reportContained(where);
        return false;
    }
}

// "Stop at the first error": runs the whole body; what was done before the
// error stays done. Returns whether the body ran through.
template <class F>
bool stopOnError(F&& body, SourceSite where = SourceSite::current()) noexcept {
    return resumeNext(std::forward<F>(body), where);
}

}  // namespace tavixTGCL2
