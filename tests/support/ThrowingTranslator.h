#pragma once
// A translator whose catalogue cannot be read: every lookup throws, and the
// lookups are counted so a test can tell the library asked at all.
#include <string>

#include "frame/HostComponents.h"
#include "platform/Control.h"
#include "platform/Error.h"

namespace tavixTGCL2::test_support {

struct ThrowingTranslator : ITranslator {
    int lookups = 0;
    std::string Translate(const std::string&, const std::string& literal, const VariantList&) override {
        ++lookups;
        throw Error(errFileNotFound, "catalogue unreadable: " + literal);
    }
    void TranslateControls(const std::string&, Control&) override {
        ++lookups;
        throw Error(errFileNotFound, "catalogue unreadable");
    }
};

}  // namespace tavixTGCL2::test_support
