#pragma once
// The status bar inside the run toolbar: a box of two text rows over a
// vertical colour gradient. The upper row shows the selected measurement
// standard, or the progress bar while progress is shown; the lower row the
// verdict of the last completed step, or a progress message. The gradient's
// colours follow the verdict. All coordinates of this control are pixels.
//
// The toolbar hosts it in a picture box of its command bar, forwards its
// status operations here, hands ProgressBarInterface() to the host as its
// ProgressBar and calls ApplyButtonSize when its button size changes.
#include <tavixTGCL2/Export.h>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <tavixTGCL2/frame/CTgStandardSel.h>
#include <tavixTGCL2/frame/ITgProgressBar.h>
#include <tavixTGCL2/platform/PictureBox.h>
#include <tavixTGCL2/platform/Rect.h>
#include <tavixTGCL2/platform/StandardControls.h>
#include <tavixTGCL2/progress/CTgProgressBar.h>

namespace tavixTGCL2 {

class TGCL_API XStatusBar : public PictureBox {
public:
    static constexpr const char* kClassName = "tavixTGCL2.XStatusBar";
    static constexpr OleColor kBorderColor = 0x00B24801;  // RGB(1, 72, 178)
    static constexpr std::int32_t kAnimationInterval = 150;  // ms

    explicit XStatusBar(std::string name = {});
    ~XStatusBar() override;
    static void registerClass();

    // The control's window handle (hWnd(), one handle for both bases) and the progress
    // renderer itself; only its bar range and painting are used here.
    CTgProgressBar& ProgressBar() { return m_pbDraw; }
    const CTgProgressBar& ProgressBar() const { return m_pbDraw; }

    // Verdict: 0 none (blue), 1 passed (teal to dark green, white text),
    // 2 failed (light to dark red, white text), 3 not applicable (yellow).
    // Any other code keeps gradient and texts and turns the text black. A
    // failing text lookup reaches the caller.
    std::int32_t Status() const { return m_Status; }
    void setStatus(std::int32_t status);
    // Off by default. On, PASSED texts start with a check mark (U+2713) and
    // FAILED texts with a cross (U+2717), so the verdict never rests on
    // colour alone; the other verdicts are unmarked.
    bool VerdictMark() const { return m_fVerdictMark; }
    void setVerdictMark(bool on);

    // The progress message in the lower row: a non-empty message takes the
    // verdict's place, "" gives the verdict back. A failure reaches the caller.
    std::string Message() const;
    void setMessage(const std::string& message);

    // The upper row: "Selected standard: <name>" when it fits, else the bare
    // complete name; the tooltip always has the long form. Never fails.
    void SetStandardName(const CTgStandardSel& cssStdSel);

    // The toolbar's button size (ETgToolbarButtonSize) picks the font: small
    // 8-point Tahoma, medium 9-point Arial, large 12-point Verdana; other
    // values keep the font. The display is refreshed whatever the value.
    // A failure reaches the caller.
    void ApplyButtonSize(std::int32_t buttonSize);

    // The progress bar as the host drives it (the toolbar's ProgressBar).
    // Its setters are the only members that raise errors to the host.
    ITgProgressBar& ProgressBarInterface() { return m_progress; }
    // The same, keeping this control alive as long as the host holds it.
    std::shared_ptr<ITgProgressBar> ProgressBarShared();

    // One step of the endless animation: what tmrProgIndet runs every
    // 150 ms. Public so that a host loop or a benchmark can step it.
    void AnimationTick();

    // Mouse presses on the background or any label raise MouseDown (the
    // inherited event), with a label's own coordinates for a label.
    // Handler failures stay here.
    void doMouseDown(std::int16_t button, std::int16_t shift, float x, float y) override;

    // The parts, for the toolbar's layout, a backend or a test to look at.
    const Label& lblStd() const { return *m_lblStd; }
    const Label& lblStatus() const { return *m_lblStatus; }
    const Label& lblProg() const { return *m_lblProg; }
    const Shape& shpBorder() const { return *m_shpBorder; }
    const Timer& tmrProgIndet() const { return *m_tmrProgIndet; }
    OleColor GradientTop() const { return m_clrTop; }
    OleColor GradientBottom() const { return m_clrBottom; }
    const Rect& GradientRect() const { return m_rcGradient; }
    const std::array<std::string, 2>& StandardTexts() const { return m_asStd; }
    const std::array<std::string, 2>& StatusTexts() const { return m_asStatus; }

protected:
    void onResize() override;

private:
    // ITgProgressBar without clashing with the control's own Visible.
    class ProgressLink : public ITgProgressBar {
    public:
        explicit ProgressLink(XStatusBar& owner) : m_owner(owner) {}
        bool Visible() const override;
        void setVisible(bool v) override;
        bool Animate() const override;
        void setAnimate(bool v) override;
        std::int16_t Value() const override;
        void setValue(std::int16_t v) override;

    private:
        XStatusBar& m_owner;
    };

    void Redraw();
    void FitCaption(Label& label, const std::array<std::string, 2>& texts);
    void UpdateVisibility();
    void UpdateStatusDisplay();
    static void CopyFont(const Font& source, Label& destination);
    void SetBarRange(std::int32_t start, std::int32_t stop);
    void setOwnFontBold(bool bold);

    std::shared_ptr<Shape> m_shpBorder;
    std::shared_ptr<Label> m_lblStd;
    std::shared_ptr<Label> m_lblStatus;
    std::shared_ptr<Label> m_lblProg;
    std::shared_ptr<Timer> m_tmrProgIndet;

    std::int32_t m_Status = 0;
    bool m_fProgVisible = false;
    bool m_fVerdictMark = false;
    std::array<std::string, 2> m_asStd;
    std::array<std::string, 2> m_asStatus;
    OleColor m_clrTop = 0;
    OleColor m_clrBottom = 0;
    Rect m_rcGradient;
    CTgProgressBar m_pbDraw;
    ProgressLink m_progress{*this};
};

}  // namespace tavixTGCL2
