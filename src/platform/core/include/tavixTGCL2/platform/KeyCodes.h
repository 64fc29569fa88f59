#pragma once
// Key codes as the controls take them (XTgToolbar::AddAccelerator, KeyDown
// events): the desktop's virtual-key numbers under their customary names.
// Letters and digits are their upper-case ASCII codes, so 'A' and vbKeyA
// are the same key.
#include <cstdint>

namespace tavixTGCL2 {

enum KeyCodeConstants : std::int16_t {
    vbKeyBack = 8,
    vbKeyTab = 9,
    vbKeyClear = 12,
    vbKeyReturn = 13,
    vbKeyShift = 16,
    vbKeyControl = 17,
    vbKeyMenu = 18,
    vbKeyPause = 19,
    vbKeyCapital = 20,
    vbKeyEscape = 27,
    vbKeySpace = 32,
    vbKeyPageUp = 33,
    vbKeyPageDown = 34,
    vbKeyEnd = 35,
    vbKeyHome = 36,
    vbKeyLeft = 37,
    vbKeyUp = 38,
    vbKeyRight = 39,
    vbKeyDown = 40,
    vbKeySelect = 41,
    vbKeyPrint = 42,
    vbKeyExecute = 43,
    vbKeySnapshot = 44,
    vbKeyInsert = 45,
    vbKeyDelete = 46,
    vbKeyHelp = 47,
    vbKey0 = 48, vbKey1, vbKey2, vbKey3, vbKey4, vbKey5, vbKey6, vbKey7, vbKey8, vbKey9,
    vbKeyA = 65, vbKeyB, vbKeyC, vbKeyD, vbKeyE, vbKeyF, vbKeyG, vbKeyH, vbKeyI, vbKeyJ, vbKeyK, vbKeyL,
    vbKeyM, vbKeyN, vbKeyO, vbKeyP, vbKeyQ, vbKeyR, vbKeyS, vbKeyT, vbKeyU, vbKeyV, vbKeyW, vbKeyX,
    vbKeyY, vbKeyZ,
    // The context-menu key of a desktop keyboard (the "application" key).
    vbKeyApps = 93,
    vbKeyNumpad0 = 96, vbKeyNumpad1, vbKeyNumpad2, vbKeyNumpad3, vbKeyNumpad4, vbKeyNumpad5,
    vbKeyNumpad6, vbKeyNumpad7, vbKeyNumpad8, vbKeyNumpad9,
    vbKeyMultiply = 106,
    vbKeyAdd = 107,
    vbKeySeparator = 108,
    vbKeySubtract = 109,
    vbKeyDecimal = 110,
    vbKeyDivide = 111,
    vbKeyF1 = 112, vbKeyF2, vbKeyF3, vbKeyF4, vbKeyF5, vbKeyF6, vbKeyF7, vbKeyF8, vbKeyF9, vbKeyF10,
    vbKeyF11, vbKeyF12, vbKeyF13, vbKeyF14, vbKeyF15, vbKeyF16,
    vbKeyNumlock = 144,
    vbKeyScrollLock = 145
};

static_assert(vbKeyZ == 90 && vbKey9 == 57 && vbKeyF16 == 127 && vbKeyNumpad9 == 105);

}  // namespace tavixTGCL2
