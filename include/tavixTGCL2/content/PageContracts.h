#pragma once
// What the content pane asks of the comment and DUT information pages it
// creates by class name, beyond the by-name "Move", "Visible" and "ZOrder"
// every page accepts: they are bound to the host's result and setup
// objects, which are not late-bound objects.
#include <tavixTGCL2/Export.h>
#include <memory>
#include <string>

#include <tavixTGCL2/frame/HostComponents.h>

namespace tavixTGCL2 {

class TGCL_API ICommentPage {
public:
    virtual ~ICommentPage() = default;
    virtual void Initialize(const std::shared_ptr<ITestResult>& result) = 0;
    virtual std::string Comment() const = 0;
    virtual void setComment(const std::string& s) = 0;
};

class TGCL_API IDutInfoPage {
public:
    virtual ~IDutInfoPage() = default;
    virtual void Initialize(const std::shared_ptr<ITestSetup>& setup) = 0;
};

}  // namespace tavixTGCL2
