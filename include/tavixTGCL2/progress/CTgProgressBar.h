#pragma once
// The progress-bar drawing engine. It holds the look and the range of one
// bar and paints it into any device context on request, in the theme's look
// or in its own flat look (segments, pictures, borders, a caption in two
// colours). It owns no window: its owners call DrawToDC, or attach a
// DrawTarget so that every look change repaints at once. Each paint is
// composed off-screen and copied to the target in one block.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>

#include <tavixTGCL2/platform/Colors.h>
#include <tavixTGCL2/platform/DC.h>
#include <tavixTGCL2/platform/FontEngine.h>
#include <tavixTGCL2/platform/Picture.h>
#include <tavixTGCL2/platform/Rect.h>
#include <tavixTGCL2/progress/CMemDC.h>

namespace tavixTGCL2 {

struct ProgressBarOption;

class TGCL_API CTgProgressBar {
public:
    CTgProgressBar();
    CTgProgressBar(const CTgProgressBar&) = delete;
    CTgProgressBar& operator=(const CTgProgressBar&) = delete;

    const std::string& Tag() const { return m_Tag; }
    void setTag(std::string tag) { m_Tag = std::move(tag); }

    bool Segments() const { return m_Segments; }
    void setSegments(bool v);
    bool XpStyle() const { return m_XpStyle; }
    void setXpStyle(bool v);
    const std::string& Text() const { return m_Text; }
    void setText(std::string v);
    // 0 left, 1 centre, 2 right; other values draw as 0.
    std::int32_t TextAlignX() const { return m_TextAlignX; }
    void setTextAlignX(std::int32_t v);
    // 0 top, 1 centre, 2 bottom; other values draw as 0.
    std::int32_t TextAlignY() const { return m_TextAlignY; }
    void setTextAlignY(std::int32_t v);
    bool ShowText() const { return m_ShowText; }
    void setShowText(bool v);

    // BarStop's place in Min..Max as 0 to 100. Throws Error (11, division
    // by zero) when Max equals Min.
    double Percent() const;

    std::int32_t Min() const { return m_Min; }
    void setMin(std::int32_t v);
    std::int32_t Max() const { return m_Max; }
    void setMax(std::int32_t v);
    // BarStop - BarStart; setting puts BarStart to 0 and BarStop (clamped)
    // to the value, then repaints.
    std::int32_t Value() const;
    void setValue(std::int32_t v);
    // Clamped to Min..Max (first limited to Max, then raised to Min); no repaint.
    std::int32_t BarStart() const { return m_BarStart; }
    void setBarStart(std::int32_t v);
    std::int32_t BarStop() const { return m_BarStop; }
    void setBarStop(std::int32_t v);

    // 0 none, 1 sunken, 2 raised; other values draw no border but keep its room.
    std::int32_t BorderStyle() const { return m_BorderStyle; }
    void setBorderStyle(std::int32_t v);
    // 0 flat, 1 thin 3-D, 2 3-D.
    std::int32_t Appearance() const { return m_Appearance; }
    void setAppearance(std::int32_t v);

    const std::shared_ptr<DrawTarget>& DrawObject() const { return m_DrawObject; }
    void setDrawObject(std::shared_ptr<DrawTarget> target);

    OleColor BackColor() const { return m_BackColor; }
    void setBackColor(OleColor c);
    OleColor ForeColor() const { return m_ForeColor; }
    void setForeColor(OleColor c);
    // The caption font, shared by reference; nullptr draws with the default
    // font ("Tahoma", 8 points).
    const FontPtr& Font() const { return m_Font; }
    void setFont(FontPtr font);
    OleColor BarColor() const { return m_BarColor; }
    void setBarColor(OleColor c);
    OleColor BarForeColor() const { return m_BarForeColor; }
    void setBarForeColor(OleColor c);

    // Pictures are write-only; nullptr removes one. A picture that gives no
    // pixels (not a bitmap, or empty) counts as no picture.
    void setBarPicture(const PicturePtr& picture);
    // 1 tiles the picture, any other value stretches it.
    std::int32_t BarPictureMode() const { return m_BarPictureMode; }
    void setBarPictureMode(std::int32_t v);
    std::int32_t BackPictureMode() const { return m_BackPictureMode; }
    void setBackPictureMode(std::int32_t v);
    void setPicture(const PicturePtr& picture);

    // Repaints into the DrawObject's client rectangle; nothing without one.
    void Draw();
    // Paints the bar into (left, top, right, bottom) of dc. Returns false
    // when the paint stopped at a failure (the target is then untouched
    // when the bar is composed off-screen).
    bool DrawToDC(std::int32_t hwnd, DC* dc, std::int32_t left, std::int32_t top, std::int32_t right,
                  std::int32_t bottom);

    // One-pixel borders: appearance 0 flat black, 1 thin 3-D, 2 the soft 3-D
    // edge; raised or sunken. Other appearances draw nothing.
    static void DrawBorder(DC& dc, std::int32_t appearance, const Rect& r, bool raised);
    // Covers (x, y, w, h) of target with copies of the tileW x tileH tile at
    // the top left of source; the first tile starts at source column
    // (x + offsetX) mod tileW and row (y + offsetY) mod tileH.
    static void TileBlt(DC& target, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                        const DC& source, std::int32_t tileW, std::int32_t tileH, std::int32_t offsetX,
                        std::int32_t offsetY);
    static ColorRef TranslateColor(OleColor c);

    // The off-screen work surface (for tests and diagnostics).
    const CMemDC& workSurface() const { return m_work; }

private:
    void setPictureSource(const PicturePtr& picture, std::unique_ptr<CMemDC>& slot);
    static bool hasPixels(const std::unique_ptr<CMemDC>& slot);
    // The bar's state as the painters read it, for one paint of rect.
    ProgressBarOption styleOption(const Rect& rect, bool themeAttempted);
    std::uint32_t captionFormat() const;

    std::string m_Tag;
    bool m_Segments = true;
    bool m_XpStyle = true;
    std::string m_Text;
    std::int32_t m_TextAlignX = 1;
    std::int32_t m_TextAlignY = 1;
    bool m_ShowText = false;
    std::int32_t m_Min = 0;
    std::int32_t m_Max = 100;
    std::int32_t m_BarStart = 0;
    std::int32_t m_BarStop = 0;
    std::int32_t m_BorderStyle = 1;
    std::int32_t m_Appearance = 0;
    std::shared_ptr<DrawTarget> m_DrawObject;
    OleColor m_BackColor = 0x00FFFFFF;
    OleColor m_ForeColor = 0x00000000;
    FontPtr m_Font;
    OleColor m_BarColor = 0x8000000D;
    OleColor m_BarForeColor = 0x00FFFFFF;
    std::int32_t m_BarPictureMode = 1;
    std::int32_t m_BackPictureMode = 1;

    CMemDC m_work;
    std::unique_ptr<CMemDC> m_picture;
    std::unique_ptr<CMemDC> m_barPicture;
    // The caption with its blank on each side, kept so that a repaint does
    // not allocate it again.
    std::string m_padded;
};

}  // namespace tavixTGCL2
