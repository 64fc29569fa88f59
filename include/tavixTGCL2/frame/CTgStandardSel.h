#pragma once
// The toolbar's current measurement-standard selection.
#include <tavixTGCL2/Export.h>
#include <string>

namespace tavixTGCL2 {

class TGCL_API CTgStandardSel {
public:
    std::string GroupName;        // short (group) name of the selected standard
    std::string CompleteName;     // full name of the selected standard
    bool CalculateLimits = true;  // whether calculated limits are to be shown
};

}  // namespace tavixTGCL2
