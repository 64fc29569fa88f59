#pragma once
// The toolbar's current measurement-standard selection.
#include <string>

namespace tavixTGCL2 {

class CTgStandardSel {
public:
    std::string GroupName;        // short (group) name of the selected standard
    std::string CompleteName;     // full name of the selected standard
    bool CalculateLimits = true;  // whether calculated limits are to be shown
};

}  // namespace tavixTGCL2
