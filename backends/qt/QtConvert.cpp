#include "QtConvert.h"

#include "platform/CommandBarTypes.h"

namespace tavixTGCL2::qt {

namespace {
struct KeyPair {
    std::int32_t vk;
    Qt::Key key;
};
// Keys whose codes do not follow from a range.
constexpr KeyPair kKeys[] = {
    {8, Qt::Key_Backspace}, {9, Qt::Key_Tab},        {13, Qt::Key_Return},   {19, Qt::Key_Pause},
    {20, Qt::Key_CapsLock}, {27, Qt::Key_Escape},    {32, Qt::Key_Space},    {33, Qt::Key_PageUp},
    {34, Qt::Key_PageDown}, {35, Qt::Key_End},       {36, Qt::Key_Home},     {37, Qt::Key_Left},
    {38, Qt::Key_Up},       {39, Qt::Key_Right},     {40, Qt::Key_Down},     {44, Qt::Key_Print},
    {45, Qt::Key_Insert},   {46, Qt::Key_Delete},    {47, Qt::Key_Help},     {93, Qt::Key_Menu},     {106, Qt::Key_Asterisk},
    {107, Qt::Key_Plus},    {109, Qt::Key_Minus},    {110, Qt::Key_Period},  {111, Qt::Key_Slash},
    {144, Qt::Key_NumLock}, {145, Qt::Key_ScrollLock}, {186, Qt::Key_Semicolon}, {187, Qt::Key_Equal},
    {188, Qt::Key_Comma},   {189, Qt::Key_Minus},    {190, Qt::Key_Period},  {191, Qt::Key_Slash},
    {192, Qt::Key_QuoteLeft}, {219, Qt::Key_BracketLeft}, {220, Qt::Key_Backslash},
    {221, Qt::Key_BracketRight}, {222, Qt::Key_Apostrophe}};
}  // namespace

Qt::Key qtKeyFromVirtualKey(std::int32_t vk) {
    if (vk >= 'A' && vk <= 'Z') return static_cast<Qt::Key>(Qt::Key_A + (vk - 'A'));
    if (vk >= '0' && vk <= '9') return static_cast<Qt::Key>(Qt::Key_0 + (vk - '0'));
    if (vk >= 96 && vk <= 105) return static_cast<Qt::Key>(Qt::Key_0 + (vk - 96));  // keypad digits
    if (vk >= 112 && vk <= 135) return static_cast<Qt::Key>(Qt::Key_F1 + (vk - 112));
    for (const auto& k : kKeys)
        if (k.vk == vk) return k.key;
    return Qt::Key_unknown;
}

std::int32_t virtualKeyFromQtKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    if (key == Qt::Key_Enter) return 13;
    for (const auto& k : kKeys)
        if (k.key == key) return k.vk;
    return 0;
}

QKeySequence keySequenceFor(std::int32_t vk, std::int32_t fVirt) {
    Qt::Key key = qtKeyFromVirtualKey(vk);
    if (key == Qt::Key_unknown) return {};
    Qt::KeyboardModifiers mods;
    if (fVirt & FSHIFT) mods |= Qt::ShiftModifier;
    if (fVirt & FCONTROL) mods |= Qt::ControlModifier;
    if (fVirt & FALT) mods |= Qt::AltModifier;
    // Keypad digits are told apart from the main row by the keypad flag.
    if (vk >= 96 && vk <= 111) mods |= Qt::KeypadModifier;
    return QKeySequence(QKeyCombination(mods, key));
}

}  // namespace tavixTGCL2::qt
