#pragma once
// The public vocabulary every control shares. The values are part of the
// contract with hosts (stored settings and host code compare them), so they
// never change. Plain enums of 32-bit values: masks combine, and values
// outside the members (which several operations store as given) stay
// representable.
#include <cstdint>

namespace tavixTGCL2 {

enum EDetailsPaneOrientation : std::int32_t {
    edpoOrientRightTop = 0,
    edpoOrientRightBottom = 1,
    edpoOrientLeftTop = 2,
    edpoOrientLeftBottom = 3
};

enum ETgContentPaneTab : std::int32_t {
    etgProcedureTab = 0,
    etgCommentTab = 1,
    etgDutInfoTab = 2,
    etgHelpTab = 3
};

enum ETgResultViewState : std::int32_t {
    ervsNormal = 0,
    ervsLarge = 1,
    ervsMaximized = 2,
    ervsMinimized = 3,
    ervsHideResults = 4,
    ervsHideProcedure = 5
};

// The first digit groups the commands; the gaps are part of the numbering.
enum ETgToolbarButtonID : std::int32_t {
    ID_TGTBAR_ABORT = 101,
    ID_TGTBAR_PREV = 102,
    ID_TGTBAR_NEXT = 103,
    ID_TGTBAR_STOP = 201,
    ID_TGTBAR_START = 202,
    ID_TGTBAR_STEP = 203,
    ID_TGTBAR_NA = 301,
    ID_TGTBAR_SKIP = 302,
    ID_TGTBAR_TOOLS = 401,
    ID_TGTBAR_CUSTOMIZE = 402,
    ID_TGTBAR_STANDARDS = 500,
    ID_TGTBAR_CALCULATED = 501,
    ID_TGTBAR_FIRSTSTD = 510,
    ID_TGTBAR_LASTSTD = 599,
    ID_TGTBAR_STATUS = 600,
    ID_TGTBAR_CUSTOM_FIRST = 900,
    ID_TGTBAR_CUSTOM_LAST = 999
};

enum ETgToolbarButtonSize : std::int32_t {
    etgButtonSizeSmall = 0,
    etgButtonSizeMedium = 1,
    etgButtonSizeLarge = 2
};

// The values are the command bars' theme numbers; there are no members 0 and 1.
enum ETgToolbarVisualStyle : std::int32_t { etgOffice2003 = 2, etgWindowsXP = 3 };

enum ETgToolbarTextLabels : std::int32_t {
    etgLabelsNone = 0,
    etgLabelsSelective = 1,
    etgLabelsAll = 2
};

enum ETgToolbarButtonState : std::int32_t {
    etgStateIdle = 0,
    etgStateRunning = 1,
    etgStateCompleted = 2
};

enum ETgToolbarActionButtons : std::int32_t {
    etgActionNone = 0,
    etgActionSkip = 1,
    etgActionNA = 2,
    etgActionSkipAndNa = 3,
    etgActionStandards = 4,
    etgActionAll = 7
};

enum ETgToolbarRunButtons : std::int32_t {
    etgRunNone = 0,
    etgRunStop = 1,
    etgRunStart = 2,
    etgRunStartAndStop = 3,
    etgRunStep = 4,
    etgRunAllButtons = 7
};

// The accelerator-table flags FSHIFT, FCONTROL and FALT.
enum ETgToolbarKeyCtrlMask : std::int32_t {
    etgKeyMaskNone = 0,
    etgKeyMaskShift = 4,
    etgKeyMaskCtrl = 8,
    etgKeyMaskAlt = 16
};

// Virtual-key codes of the default accelerators.
enum ETgToolbarAcceleratorKey : std::int32_t {
    etgKeyAbort = 27,     // Esc
    etgKeyPrevious = 66,  // B
    etgKeyNext = 78,      // N
    etgKeyStop = 69,      // E
    etgKeyStart = 120,    // F9
    etgKeyNA = 65,        // A
    etgKeySkip = 75       // K
};

// The iFormat of ITgContentPane::SetProcedure. Any value not listed shows
// the text as plain text, so stored formats from elsewhere never fail.
enum ETgProcedureFormat : std::int16_t {
    etgProcPlainText = 0,
    etgProcRichText = 1,      // rich text (RTF)
    etgProcHtmlFragment = 3,  // the inner HTML of the template page's body
    etgProcLink = 4,          // a web address or a "file://" reference
    etgProcLinkAlt = 5        // the same as etgProcLink
};

// Carries no members of its own: it makes the enumerations part of what a
// host sees of the library.
class GPublicDeclares {};

}  // namespace tavixTGCL2
