#pragma once
// The public progress bar control a host places on its own forms: one
// progress renderer filling the whole control, showing either a value the
// host sets or an endless animation (a 20-unit segment that slides along the
// bar every 150 ms), with an optional caption. It raises no events and
// persists nothing; its coordinates are pixels.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>

#include <tavixTGCL2/platform/PictureBox.h>
#include <tavixTGCL2/platform/StandardControls.h>
#include <tavixTGCL2/progress/CTgProgressBar.h>

namespace tavixTGCL2 {

class TGCL_API XTgProgressBar : public PictureBox {
public:
    static constexpr const char* kClassName = "tavixTGCL2.XTgProgressBar";
    // Dispatch numbers of the control's interface ("#0x68030003"); the
    // member table uses these.
    static constexpr std::int32_t kDispIdText = 0x68030000;
    static constexpr std::int32_t kDispIdXpStyle = 0x68030001;
    static constexpr std::int32_t kDispIdValue = 0x68030002;
    static constexpr std::int32_t kDispIdAnimate = 0x68030003;
    static constexpr std::int32_t kDispIdRefresh = 0x60030004;
    static constexpr std::int32_t kAnimationInterval = 150;  // ms

    explicit XTgProgressBar(std::string name = {});
    ~XTgProgressBar() override;
    static void registerClass();

    // True: the bar restarts from empty, is painted and the animation runs.
    // False: the animation stops where it is, without a repaint. A failing
    // paint or host exchange reaches the caller.
    bool Animate() const;
    void setAnimate(bool on);

    // 0 while animating, otherwise the end of the bar (0..100). Setting it
    // stops the animation and paints 0..value (clamped to 0..100); a
    // failure reaches the caller.
    std::int16_t Value() const;
    void setValue(std::int16_t value);

    // The themed look when a theme is available; shown at the next repaint.
    bool XpStyle() const { return m_pbDraw.XpStyle(); }
    void setXpStyle(bool on) { m_pbDraw.setXpStyle(on); }

    // The caption (centred both ways); "" hides it. Shown at the next repaint.
    const std::string& Text() const { return m_pbDraw.Text(); }
    void setText(const std::string& text);

    // Paints the whole control again; a failure is ignored.
    void Refresh() override;

    // The parts, for a backend or a test to look at.
    const CTgProgressBar& renderer() const { return m_pbDraw; }
    const Timer& tmrAnimate() const { return *m_tmrAnimate; }

    // Late binding: the members above by name or by dispatch number
    // ("#0x68030003"; see members() in XTgProgressBar.cpp), then the members
    // of every control.
    Variant invoke(const std::string& member, VariantList& args) override;
    void setProperty(const std::string& member, const Variant& value) override;

protected:
    void onResize() override;

private:
    void Redraw();
    void SetBarRange(std::int32_t start, std::int32_t stop);
    void tmrAnimate_Timer();
    friend struct MemberTables;
    static const MemberTable<XTgProgressBar>& members();

    CTgProgressBar m_pbDraw;
    std::shared_ptr<Timer> m_tmrAnimate;
};

}  // namespace tavixTGCL2
