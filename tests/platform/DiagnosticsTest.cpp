// The diagnostics sink: what a contained error looks like to the host, when
// it is called, and the test switch that ends the process on an internal
// fault.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "frame/ServicesScope.h"
#include "platform/Diagnostics.h"
#include "platform/Error.h"

using namespace tavixTGCL2;

namespace {

constexpr const char* kSwitch = "TGCL_FAIL_ON_INTERNAL_FAULT";

// Collects every report while it lives and puts the previous sink back.
class Collector {
    ServicesScope m_services;

public:
    Collector() { setDiagnosticsSink([this](const ContainedError& e) { reports.push_back(e); }); }
    std::vector<ContainedError> reports;
};

// The test suites run with the switch on; these tests look at the contained
// behaviour underneath it.
class SwitchOff {
public:
    SwitchOff() {
        if (const char* v = std::getenv(kSwitch)) m_saved = v;
        ::unsetenv(kSwitch);
    }
    ~SwitchOff() {
        if (m_saved) ::setenv(kSwitch, m_saved->c_str(), 1);
    }

private:
    std::optional<std::string> m_saved;
};

// A stand-in for a control, so that reports name a class and a member the
// way the library's own controls are named.
struct XSampleControl {
    XSampleControl() {
        resumeNext([] { throw Error(errObjectRequired, "Object required: host page"); });
    }
    bool Refresh() {
        return stopOnError([] {
            resumeNext([] { throw Error(errIo, "first"); });
            throw Error(errFileNotFound, "second");
        });
    }
    void ReadProperties() {
        resumeNext([] {
            std::vector<int> none;
            (void)none.at(2);
        });
    }
    void Layout() {
        resumeNext([] {
            std::variant<int, std::string> v = 1;
            (void)std::get<std::string>(v);
        });
    }
    void Unknown() {
        resumeNext([] { throw 42; });
    }
    void OutOfMemory() {
        resumeNext([] { throw std::bad_alloc(); });
    }
};

}  // namespace

TEST(Diagnostics, AContainedErrorReachesTheSinkWithItsOperationNumberAndText) {
    Collector sink;
    XSampleControl c;
    ASSERT_EQ(sink.reports.size(), 1u);
    const ContainedError& e = sink.reports[0];
    EXPECT_EQ(e.control, "XSampleControl");
    EXPECT_EQ(e.member, "XSampleControl");  // the constructor
    EXPECT_EQ(e.operation(), "XSampleControl::XSampleControl");
    EXPECT_EQ(e.number, errObjectRequired);
    EXPECT_EQ(e.text, "Object required: host page");
    EXPECT_FALSE(e.internalFault);
    EXPECT_NE(e.file.find("DiagnosticsTest.cpp"), std::string::npos);
    EXPECT_GT(e.line, 0u);
    EXPECT_NE(e.function.find("XSampleControl"), std::string::npos);
}

TEST(Diagnostics, EachContainmentReportsOnceWhereItHappened) {
    Collector sink;
    XSampleControl c;
    sink.reports.clear();
    EXPECT_FALSE(c.Refresh());
    // The skipped statement and the error that stopped the body: two
    // containments, both in Refresh.
    ASSERT_EQ(sink.reports.size(), 2u);
    EXPECT_EQ(sink.reports[0].operation(), "XSampleControl::Refresh");
    EXPECT_EQ(sink.reports[0].number, errIo);
    EXPECT_EQ(sink.reports[0].text, "first");
    EXPECT_EQ(sink.reports[1].operation(), "XSampleControl::Refresh");
    EXPECT_EQ(sink.reports[1].number, errFileNotFound);
    EXPECT_NE(sink.reports[0].line, sink.reports[1].line);
}

TEST(Diagnostics, OutOfMemoryIsAnErrorNotAFault) {
    SwitchOff off;
    Collector sink;
    XSampleControl c;
    sink.reports.clear();
    c.OutOfMemory();
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0].number, errOutOfMemory);
    EXPECT_FALSE(sink.reports[0].internalFault);
    EXPECT_EQ(sink.reports[0].operation(), "XSampleControl::OutOfMemory");
}

TEST(Diagnostics, AnythingButErrorIsContainedAsAnInternalFault) {
    SwitchOff off;
    Collector sink;
    XSampleControl c;
    sink.reports.clear();
    c.ReadProperties();
    c.Layout();
    c.Unknown();
    ASSERT_EQ(sink.reports.size(), 3u);
    for (const auto& e : sink.reports) {
        EXPECT_TRUE(e.internalFault) << e.text;
        EXPECT_EQ(e.number, errInternal) << e.text;
    }
    EXPECT_EQ(sink.reports[0].operation(), "XSampleControl::ReadProperties");
    EXPECT_EQ(sink.reports[0].text.rfind("std::out_of_range: ", 0), 0u) << sink.reports[0].text;
    EXPECT_EQ(sink.reports[1].operation(), "XSampleControl::Layout");
    EXPECT_EQ(sink.reports[1].text.rfind("std::bad_variant_access", 0), 0u) << sink.reports[1].text;
    EXPECT_EQ(sink.reports[2].text, "int");  // the type of what was thrown
}

TEST(Diagnostics, WithoutASinkNothingIsPrinted) {
    SwitchOff off;
    const DiagnosticsSink previous = setDiagnosticsSink(nullptr);
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    XSampleControl c;
    c.Refresh();
    c.ReadProperties();  // an internal fault too, with the switch off
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    setDiagnosticsSink(previous);
}

TEST(Diagnostics, InstallingReturnsThePreviousSink) {
    int first = 0, second = 0;
    const DiagnosticsSink outer = setDiagnosticsSink([&](const ContainedError&) { ++first; });
    resumeNext([] { throw Error("one"); });
    DiagnosticsSink replaced = setDiagnosticsSink([&](const ContainedError&) { ++second; });
    resumeNext([] { throw Error("two"); });
    ASSERT_TRUE(replaced);
    replaced(ContainedError{});
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 1);
    setDiagnosticsSink(nullptr);
    resumeNext([] { throw Error("three"); });
    EXPECT_EQ(first + second, 3);
    setDiagnosticsSink(outer);
}

TEST(Diagnostics, AFailingSinkChangesNothingAndASinkThatCallsBackIsNotRecalled) {
    int calls = 0;
    const DiagnosticsSink previous = setDiagnosticsSink([&](const ContainedError&) {
        ++calls;
        // A sink that uses the library, which contains an error of its own.
        resumeNext([] { throw Error("inside the sink"); });
        throw std::runtime_error("the sink itself fails");
    });
    bool ran = true;
    EXPECT_NO_THROW(ran = resumeNext([] { throw Error("contained"); }));
    EXPECT_FALSE(ran);
    EXPECT_EQ(calls, 1);
    EXPECT_NO_THROW(resumeNext([] { throw Error("again"); }));
    EXPECT_EQ(calls, 2);
    setDiagnosticsSink(previous);
}

TEST(Diagnostics, ReportingOutsideACatchDoesNothing) {
    Collector sink;
    reportContained();
    EXPECT_TRUE(sink.reports.empty());
    try {
        throw Error(errGeneric, "caught by hand");
    } catch (...) {
        reportContained();
    }
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0].text, "caught by hand");
    EXPECT_EQ(sink.reports[0].member, "TestBody");
}

TEST(DiagnosticsDeathTest, TheTestSwitchEndsTheProcessOnAnInternalFault) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    SwitchOff restoresTheSwitchAfterwards;
    ::setenv(kSwitch, "1", 1);
    EXPECT_DEATH(XSampleControl().ReadProperties(),
                 "internal fault contained in XSampleControl::ReadProperties .*std::out_of_range");
    // Host faults stay contained under the switch.
    XSampleControl c;
    EXPECT_FALSE(c.Refresh());
    c.OutOfMemory();
    EXPECT_EQ(std::string(std::getenv(kSwitch)), "1");
    EXPECT_TRUE(internalFaultsFail());
    ::setenv(kSwitch, "0", 1);
    EXPECT_FALSE(internalFaultsFail());
}
