#pragma once
// Values shared by the command-bar classes: control kinds, button styles,
// docking and window-style bits, key-binding modifiers, themes and colour
// indexes. Rectangles the layout hands out are the drawing code's Rect, in
// pixels. Plain enums of 32-bit values, so masks
// combine and stored out-of-range values stay representable.
#include <cstdint>

#include <tavixTGCL2/platform/Rect.h>

namespace tavixTGCL2 {

// Kinds of command-bar control. Kinds 2, 3 and 4 own a menu.
enum CommandBarControlType : std::int32_t {
    cbcButton = 1,            // plain button
    cbcPopup = 2,             // opens its menu, runs no command itself
    cbcButtonPopup = 3,       // a button whose whole face opens its menu
    cbcSplitButtonPopup = 4,  // runs its command; a separate arrow opens its menu
    cbcCustom = 7             // hosts a window (any Control)
};

// What a button shows. Automatic means icon only on a toolbar, caption only
// on a menu bar, icon and caption in a menu.
enum CommandBarButtonStyle : std::int32_t {
    cbsAutomatic = 0,
    cbsCaption = 1,
    cbsIcon = 2,
    cbsIconAndCaption = 3,       // caption to the right of the icon
    cbsIconAndCaptionBelow = 4
};

// Control flags.
enum CommandBarControlFlags : std::int32_t {
    cbfStretched = 32  // takes the free length of its row
};

// Where a bar sits. Popup bars are menus and are never docked.
enum CommandBarPosition : std::int32_t {
    cbpTop = 0,
    cbpBottom = 1,
    cbpLeft = 2,
    cbpRight = 3,
    cbpFloating = 4,
    cbpPopup = 5
};

enum CommandBarType : std::int32_t {
    cbtToolbar = 0,
    cbtMenuBar = 1,
    cbtPopup = 2
};

// Docking flags: where a bar may dock and how it fills its dock row.
enum CommandBarDocking : std::int32_t {
    cbdTop = 1,
    cbdBottom = 2,
    cbdLeft = 4,
    cbdRight = 8,
    cbdFloating = 16,
    cbdNoWrap = 32,     // controls that do not fit are hidden instead of wrapped
    cbdStretched = 64,  // the bar spans the whole dock edge
    cbdAnyEdge = cbdTop | cbdBottom | cbdLeft | cbdRight
};

// Window style bits of a bar.
enum CommandBarWindowStyle : std::int32_t {
    cbwGripper = 0x400000
};

// Modifier bits of a key binding, as accelerator tables write them.
// FVIRTKEY and FNOINVERT are accepted and ignored: keys are always
// virtual-key codes here.
enum KeyBindingModifier : std::int32_t {
    FVIRTKEY = 1,
    FNOINVERT = 2,
    FSHIFT = 4,
    FCONTROL = 8,
    FALT = 16
};

// Flags of CommandBar::ShowPopup. Every other bit goes to the presenter.
enum CommandBarPopupFlags : std::int32_t {
    cbpfReturnCommand = 0x100  // report the chosen control without executing it
};

// Visual themes. The headless layout is the same in all of them; a backend
// draws the look.
enum CommandBarTheme : std::int32_t {
    cbThemeOffice2000 = 0,
    cbThemeOfficeXP = 1,
    cbThemeOffice2003 = 2,
    cbThemeWindowsXP = 3,
    cbThemeNative = 4
};

// Indexes of the colour table that have a fixed role.
enum CommandBarColorIndex : std::int32_t {
    cbcolBarFace = 5,        // background of docked bars
    cbcolMenuFace = 15,      // background of menus
    cbcolToolbarFace = 27,   // what hosted windows paint behind themselves
    cbcolDockFace = 30,      // background of the dock area around the bars
    cbcolHighlight = 31,     // hot and pressed controls
    cbcolCheckedFace = 33,   // checked controls; also a strong accent
    cbcolDisabledText = 50   // disabled captions, separators, tracks
};

}  // namespace tavixTGCL2
