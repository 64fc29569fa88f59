#include "platform/Diagnostics.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

#include "platform/Error.h"

namespace tavixTGCL2 {

namespace {

struct SinkSlot {
    std::mutex mutex;
    std::shared_ptr<const DiagnosticsSink> sink;
};

// Never destroyed: a control torn down while the process exits may still
// contain an error after static destructors have run.
SinkSlot& slot() {
    static SinkSlot* s = new SinkSlot;
    return *s;
}

// Errors contained while the sink runs on this thread are not passed to it
// again: a sink that calls into the controls must not recurse without end.
thread_local int t_sinkDepth = 0;

std::string demangled(const char* name) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> d(abi::__cxa_demangle(name, nullptr, nullptr, &status), std::free);
    return status == 0 && d ? std::string(d.get()) : std::string(name);
}

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// Past "operator" and the symbol it names ("()", "<<", "->"...), so the
// symbol's brackets are not taken for a parameter list or a template.
std::size_t skipOperatorSymbol(std::string_view f, std::size_t i) {
    if (f.substr(i, 2) == "()" || f.substr(i, 2) == "[]") return i + 2;
    while (i < f.size() && std::string_view("<>=!+-*/%^&|~,").find(f[i]) != std::string_view::npos) ++i;
    return i;
}

bool isOperatorAt(std::string_view f, std::size_t i) {
    return f.substr(i, 8) == "operator" && (i == 0 || f[i - 1] == ':' || f[i - 1] == ' ');
}

// The qualified name of the outermost function in a compiler's function
// name: "void tavixTGCL2::XTgToolbar::DefineButtons(int, int)" and
// "tavixTGCL2::XTgToolbar::XTgToolbar()::<lambda()>" give
// "tavixTGCL2::XTgToolbar::DefineButtons" and "tavixTGCL2::XTgToolbar::XTgToolbar".
std::string_view qualifiedName(std::string_view f) {
    std::size_t start = 0, end = f.size();
    int angle = 0;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (isOperatorAt(f, i)) {
            i = skipOperatorSymbol(f, i + 8) - 1;
            continue;
        }
        const char c = f[i];
        if (c == '<') ++angle;
        else if (c == '>' && angle > 0) --angle;
        else if (angle == 0 && c == ' ' && !endsWith(f.substr(0, i), "operator")) start = i + 1;
        else if (angle == 0 && c == '(') {
            end = i;
            break;
        }
    }
    return start < end ? f.substr(start, end - start) : f.substr(0, end);
}

// The last two parts of a qualified name, template arguments dropped.
std::pair<std::string, std::string> controlAndMember(std::string_view qualified) {
    std::vector<std::string_view> parts;
    int angle = 0;
    std::size_t from = 0;
    for (std::size_t i = 0; i < qualified.size(); ++i) {
        if (isOperatorAt(qualified, i)) {
            i = skipOperatorSymbol(qualified, i + 8) - 1;
            continue;
        }
        const char c = qualified[i];
        if (c == '<') ++angle;
        else if (c == '>' && angle > 0) --angle;
        else if (angle == 0 && qualified.substr(i, 2) == "::") {
            parts.push_back(qualified.substr(from, i - from));
            from = i + 2;
            ++i;
        }
    }
    parts.push_back(qualified.substr(from));
    auto bare = [](std::string_view part) {
        if (part.substr(0, 8) != "operator") part = part.substr(0, part.find('<'));
        return std::string(part);
    };
    std::string member = bare(parts.back());
    std::string control = parts.size() >= 2 ? bare(parts[parts.size() - 2]) : std::string();
    // A namespace is no control: the function is a free one.
    if (control == "tavixTGCL2" || control == "{anonymous}" || control == "(anonymous namespace)" || control == "std")
        control.clear();
    return {std::move(control), std::move(member)};
}

enum class Kind { Error, OutOfMemory, Internal };

}  // namespace

std::string ContainedError::operation() const { return control.empty() ? member : control + "::" + member; }

DiagnosticsSink setDiagnosticsSink(DiagnosticsSink sink) {
    std::shared_ptr<const DiagnosticsSink> next;
    if (sink) next = std::make_shared<const DiagnosticsSink>(std::move(sink));
    std::shared_ptr<const DiagnosticsSink> previous;
    {
        std::lock_guard lock(slot().mutex);
        previous = std::exchange(slot().sink, std::move(next));
    }
    return previous ? *previous : DiagnosticsSink();
}

bool internalFaultsFail() noexcept {
    const char* v = std::getenv("TGCL_FAIL_ON_INTERNAL_FAULT");
    return v && std::string_view(v) == "1";
}

void reportContained(SourceSite where) noexcept {
    if (!std::current_exception()) return;
    // Told apart before anything is allocated, so that a fault is still
    // recognised when there is no memory left to describe it.
    Kind kind = Kind::Internal;
    std::int32_t number = errInternal;
    const char* what = "";
    const std::type_info* type = nullptr;
    try {
        throw;
    } catch (const Error& e) {
        kind = Kind::Error;
        number = e.code();
        what = e.what();
    } catch (const std::bad_alloc& e) {
        kind = Kind::OutOfMemory;
        number = errOutOfMemory;
        what = "Out of memory";
    } catch (const std::exception& e) {
        what = e.what();
        type = &typeid(e);
    } catch (...) {
        type = abi::__cxa_current_exception_type();
    }

    ContainedError report;
    bool described = false;
    try {
        report.number = number;
        report.internalFault = kind == Kind::Internal;
        report.text = what;
        if (kind == Kind::Internal)
            report.text = (type ? demangled(type->name()) : std::string("unknown exception")) +
                          (report.text.empty() ? std::string() : ": " + report.text);
        report.function = where.function;
        report.file = where.file;
        report.line = where.line;
        std::tie(report.control, report.member) = controlAndMember(qualifiedName(report.function));
        described = true;
    } catch (...) {
        // No memory to describe it: the sink goes without.
    }

    if (described && t_sinkDepth == 0) {
        try {
            std::shared_ptr<const DiagnosticsSink> sink;
            {
                std::lock_guard lock(slot().mutex);
                sink = slot().sink;
            }
            if (sink && *sink) {
                ++t_sinkDepth;
                try {
                    (*sink)(report);
                } catch (...) {
                    // A failing sink must not turn a contained error into one that escapes.
                }
                --t_sinkDepth;
            }
        } catch (...) {
        }
    }

    if (kind == Kind::Internal && internalFaultsFail()) {
        if (described)
            std::fprintf(stderr, "tavixTGCL2: internal fault contained in %s (%s:%u): %s\n",
                         report.operation().c_str(), where.file, where.line, report.text.c_str());
        else
            std::fprintf(stderr, "tavixTGCL2: internal fault contained in %s (%s:%u)\n", where.function, where.file,
                         where.line);
        std::fprintf(stderr, "tavixTGCL2: TGCL_FAIL_ON_INTERNAL_FAULT=1: ending the process\n");
        std::fflush(stderr);
        std::abort();
    }
}

}  // namespace tavixTGCL2
