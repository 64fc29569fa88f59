#pragma once
#include <tavixTGCL2/Export.h>
#include <cstdint>

namespace tavixTGCL2 {

// The status bar's progress bar as a host drives it. The setters are the only
// members of the library allowed to raise an error to the host.
class TGCL_API ITgProgressBar {
public:
    virtual ~ITgProgressBar() = default;
    virtual bool Visible() const = 0;
    virtual void setVisible(bool v) = 0;
    virtual bool Animate() const = 0;
    virtual void setAnimate(bool v) = 0;
    virtual std::int16_t Value() const = 0;
    virtual void setValue(std::int16_t v) = 0;
};

// The published class: getters give False and 0, setters do nothing.
class TGCL_API TgProgressBar : public ITgProgressBar {
public:
    bool Visible() const override { return false; }
    void setVisible(bool) override {}
    bool Animate() const override { return false; }
    void setAnimate(bool) override {}
    std::int16_t Value() const override { return 0; }
    void setValue(std::int16_t) override {}
};

}  // namespace tavixTGCL2
