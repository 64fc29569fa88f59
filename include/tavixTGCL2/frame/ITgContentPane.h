#pragma once
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <string>

namespace tavixTGCL2 {

// The content pane as a host fills it while a test runs.
class TGCL_API ITgContentPane {
public:
    virtual ~ITgContentPane() = default;
    virtual std::string Caption() const = 0;
    virtual void setCaption(const std::string& s) = 0;
    virtual std::string Comment() const = 0;
    virtual void setComment(const std::string& s) = 0;
    // The procedure text goes by reference, as hosts pass it.
    virtual void SetProcedure(std::int16_t iFormat, const std::string& sProc) = 0;
};

// The published class: getters give "", setters and SetProcedure do nothing.
class TGCL_API TgContentPane : public ITgContentPane {
public:
    std::string Caption() const override { return {}; }
    void setCaption(const std::string&) override {}
    std::string Comment() const override { return {}; }
    void setComment(const std::string&) override {}
    void SetProcedure(std::int16_t, const std::string&) override {}
};

}  // namespace tavixTGCL2
