#pragma once
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <string>

namespace tavixTGCL2 {

// What a host may tell the status bar of the run toolbar.
class TGCL_API ITgStatusbar {
public:
    virtual ~ITgStatusbar() = default;
    virtual void setStatus(std::int16_t status) = 0;
    virtual void setMessage(const std::string& message) = 0;
    // Both names by reference, as hosts pass them.
    virtual void SetStandardName(const std::string& sAlphaName, const std::string& sCompleteName) = 0;
};

// The published class of the same name: every member does nothing, so a host
// that creates it directly gets a harmless object.
class TGCL_API TgStatusbar : public ITgStatusbar {
public:
    void setStatus(std::int16_t) override {}
    void setMessage(const std::string&) override {}
    void SetStandardName(const std::string&, const std::string&) override {}
};

}  // namespace tavixTGCL2
