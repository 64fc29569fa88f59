#pragma once
// The horizontal bar between the content pane's page area and the result
// view: a round button picture with a double chevron and a caption. It
// remembers one of the four visible layout states, toggles it when clicked
// and reports clicks and mouse actions; the content pane moves it.
//
// Events (the control's own): Click after every toggle; MouseDown and
// MouseMove from the button picture, the caption or the bar, with the
// coordinates of the part under the mouse.
//
// Focused, Space toggles as a click does; Shift+F10 and the menu key ask for
// the bar's menu (ContextMenuRequested).
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>

#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Picture.h>
#include <tavixTGCL2/platform/Rect.h>

namespace tavixTGCL2 {

class Label;
class PictureBox;

class TGCL_API XMsnSplit : public Control {
public:
    static constexpr OleColor kBackColor = 0xE6AA8C;  // RGB(140, 170, 230)
    static constexpr std::int32_t kDesignHeight = 240;
    static constexpr std::int32_t kButtonLeft = 45;
    static constexpr std::int32_t kCaptionLeft = 360;
    static constexpr std::int32_t kMousePointerCustom = 99;

    explicit XMsnSplit(std::string name = "xmsSplit");
    ~XMsnSplit() override;

    // 0 normal, 1 large, 2 maximised, 3 minimised ("State"). Any other value
    // is stored as given and keeps the picture shown.
    std::int32_t State() const { return m_eState; }
    void setState(std::int32_t e);
    // The caption shown in white ("Caption").
    std::string Caption() const;
    void setCaption(std::string s);

    // The pointing hand shown over the bar, with its hot spot.
    std::int32_t MousePointer() const { return kMousePointerCustom; }
    PicturePtr MouseIcon() const { return m_mouseIcon; }
    static constexpr Point kMouseIconHotSpot{13, 10};

    Label& caption() const { return *lblCaption; }
    PictureBox& button() const { return *imgSplitButton; }
    // The picture number shown now (101 up, 102 down).
    std::int32_t buttonPicture() const { return m_buttonPicture; }

    void ReadProperties();
    void WriteProperties();

    // A click on the bar itself toggles like one on its parts.
    void doClick() override;

protected:
    void onResize() override;
    bool onKeyDown(std::int16_t keyCode, std::int16_t shift) override;

private:
    void UpdateButtonImage(std::int32_t e);
    void clicked();
    void sizeCaptionToText();

    std::shared_ptr<PictureBox> imgSplitButton;
    std::shared_ptr<Label> lblCaption;
    std::int32_t m_eState = 0;
    std::int32_t m_buttonPicture = 0;
    PicturePtr m_mouseIcon;
};

}  // namespace tavixTGCL2
