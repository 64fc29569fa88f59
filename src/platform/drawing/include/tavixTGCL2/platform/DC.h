#pragma once
// A device context over a Surface: the GDI-style drawing state (brush, pen,
// font, text colour, background mode, current position, clip region) and the
// operations that the drawn controls use. Every operation clips to the
// surface and the clip region, and accepts any rectangle (negative, huge,
// empty or inverted) without writing outside the surface. Drawing objects
// are small values: selecting one stores it in the context, and nothing has
// to be deleted afterwards. Fonts are the exception: the context keeps a
// pointer to the caller's Font, which must outlive its selection, exactly as
// a selected font object must.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <string_view>
#include <vector>

#include <tavixTGCL2/platform/Colors.h>
#include <tavixTGCL2/platform/FontEngine.h>
#include <tavixTGCL2/platform/Rect.h>
#include <tavixTGCL2/platform/Surface.h>

namespace tavixTGCL2 {

// DrawText formats. Text is always one line; an ampersand is an ordinary
// character (no mnemonic prefixes).
inline constexpr std::uint32_t DT_LEFT = 0x0000;
inline constexpr std::uint32_t DT_TOP = 0x0000;
inline constexpr std::uint32_t DT_CENTER = 0x0001;
inline constexpr std::uint32_t DT_RIGHT = 0x0002;
inline constexpr std::uint32_t DT_VCENTER = 0x0004;
inline constexpr std::uint32_t DT_BOTTOM = 0x0008;
inline constexpr std::uint32_t DT_SINGLELINE = 0x0020;
inline constexpr std::uint32_t DT_NOCLIP = 0x0100;
inline constexpr std::uint32_t DT_CALCRECT = 0x0400;
inline constexpr std::uint32_t DT_NOPREFIX = 0x0800;

// DrawEdge: the two layers (outer, inner) and their direction...
inline constexpr std::uint32_t BDR_RAISEDOUTER = 0x0001;
inline constexpr std::uint32_t BDR_SUNKENOUTER = 0x0002;
inline constexpr std::uint32_t BDR_RAISEDINNER = 0x0004;
inline constexpr std::uint32_t BDR_SUNKENINNER = 0x0008;
inline constexpr std::uint32_t BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
inline constexpr std::uint32_t BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
inline constexpr std::uint32_t BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr std::uint32_t BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr std::uint32_t EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr std::uint32_t EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr std::uint32_t EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr std::uint32_t EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
// ...and which sides, plus modifiers.
inline constexpr std::uint32_t BF_LEFT = 0x0001;
inline constexpr std::uint32_t BF_TOP = 0x0002;
inline constexpr std::uint32_t BF_RIGHT = 0x0004;
inline constexpr std::uint32_t BF_BOTTOM = 0x0008;
inline constexpr std::uint32_t BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr std::uint32_t BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr std::uint32_t BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr std::uint32_t BF_DIAGONAL = 0x0010;  // not supported: drawEdge fails
inline constexpr std::uint32_t BF_MIDDLE = 0x0800;
inline constexpr std::uint32_t BF_SOFT = 0x1000;
inline constexpr std::uint32_t BF_ADJUST = 0x2000;
inline constexpr std::uint32_t BF_FLAT = 0x4000;
inline constexpr std::uint32_t BF_MONO = 0x8000;

// Raster operations of the block copies.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;
inline constexpr std::uint32_t SRCAND = 0x008800C6;
inline constexpr std::uint32_t SRCINVERT = 0x00660046;
inline constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
inline constexpr std::uint32_t DSTINVERT = 0x00550009;
inline constexpr std::uint32_t PATCOPY = 0x00F00021;
inline constexpr std::uint32_t BLACKNESS = 0x00000042;
inline constexpr std::uint32_t WHITENESS = 0x00FF0062;

// Background modes.
inline constexpr std::int32_t TRANSPARENT = 1;
inline constexpr std::int32_t OPAQUE = 2;

// Gradient fill.
inline constexpr std::uint32_t GRADIENT_FILL_RECT_H = 0;
inline constexpr std::uint32_t GRADIENT_FILL_RECT_V = 1;
struct TGCL_API TriVertex {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint16_t Red = 0;  // 16-bit channels: 0xFF00 is full intensity
    std::uint16_t Green = 0;
    std::uint16_t Blue = 0;
    std::uint16_t Alpha = 0;
};
struct TGCL_API GradientRect {
    std::uint32_t UpperLeft = 0;
    std::uint32_t LowerRight = 1;
};

// Flood fill modes.
inline constexpr std::uint32_t FLOODFILLBORDER = 0;   // fill up to a border colour
inline constexpr std::uint32_t FLOODFILLSURFACE = 1;  // fill the area of one colour

// What a clip operation left.
inline constexpr std::int32_t RGN_ERROR = 0;
inline constexpr std::int32_t NULLREGION = 1;
inline constexpr std::int32_t SIMPLEREGION = 2;
inline constexpr std::int32_t COMPLEXREGION = 3;

class TGCL_API Brush {
public:
    enum class Style : std::uint8_t { Null, Solid, System };

    constexpr Brush() = default;  // the hollow brush: fills draw nothing
    static constexpr Brush solid(ColorRef c) { return Brush(Style::Solid, c & 0xFFFFFFu, 0); }
    // Follows the system colour table at the moment of drawing.
    static constexpr Brush system(std::int32_t index) { return Brush(Style::System, 0, index); }
    static constexpr Brush null() { return Brush(); }
    // The brush rule: an OLE colour with the high bit set gives the system
    // colour brush of (colour AND 31), any other value a solid brush.
    static constexpr Brush fromOleColor(OleColor c) {
        return isSystemColor(c) ? system(systemColorIndex(c)) : solid(c);
    }

    constexpr Style style() const { return m_style; }
    constexpr std::int32_t systemIndex() const { return m_index; }
    // The colour the brush paints now; CLR_INVALID for the hollow brush or a
    // system index without a colour.
    ColorRef color() const;
    friend constexpr bool operator==(const Brush&, const Brush&) = default;

private:
    constexpr Brush(Style s, ColorRef c, std::int32_t i) : m_style(s), m_color(c), m_index(i) {}
    Style m_style = Style::Null;
    ColorRef m_color = 0;
    std::int32_t m_index = 0;
};

class TGCL_API Pen {
public:
    enum class Style : std::uint8_t { Null, Solid };
    static constexpr std::int32_t kMaxWidth = 1024;

    constexpr Pen() = default;  // the null pen: lines draw nothing
    // Width 0 or less draws one pixel wide; widths are limited to kMaxWidth.
    static constexpr Pen solid(ColorRef c, std::int32_t width = 1) {
        return Pen(Style::Solid, c & 0xFFFFFFu, width < 1 ? 1 : width > kMaxWidth ? kMaxWidth : width);
    }
    static constexpr Pen null() { return Pen(); }

    constexpr Style style() const { return m_style; }
    constexpr ColorRef color() const { return m_color; }
    constexpr std::int32_t width() const { return m_width; }
    friend constexpr bool operator==(const Pen&, const Pen&) = default;

private:
    constexpr Pen(Style s, ColorRef c, std::int32_t w) : m_style(s), m_color(c), m_width(w) {}
    Style m_style = Style::Null;
    ColorRef m_color = 0;
    std::int32_t m_width = 1;
};

class TGCL_API DC {
public:
    // A context without a surface: every drawing operation does nothing and
    // reports failure.
    DC();
    explicit DC(Surface* surface);
    DC(const DC&) = delete;
    DC& operator=(const DC&) = delete;

    Surface* surface() const { return m_surface; }
    // Puts another surface under the context and returns the previous one.
    Surface* selectSurface(Surface* surface);

    // --- Device scale ----------------------------------------------------
    // Device pixels to one logical pixel (1 by default). Every operation
    // takes logical coordinates and maps them here, at its entry, to the
    // surface's device pixels: fills cover the mapped rectangle, pen widths
    // and text grow with the scale, a gradient gets a colour per device row
    // or column, copies between contexts of different scales are scaled.
    // Each edge maps on its own (Screen::toDevice), so fills that meet in
    // logical pixels meet in device pixels too. At 1 nothing is mapped.
    void setDeviceScale(double scale);
    double deviceScale() const { return m_scale; }
    Rect toDevice(const Rect& r) const;
    // The smallest logical rectangle covering device rectangle r.
    Rect toLogical(const Rect& r) const;

    // --- State ---------------------------------------------------------
    // Each select returns what was selected before, so that it can be put back.
    Brush selectBrush(const Brush& brush);
    Pen selectPen(const Pen& pen);
    // nullptr selects the context's default font ("Tahoma", 8 points).
    const Font* selectFont(const Font* font);
    const Font* selectFont(const Font&&) = delete;  // a temporary would dangle
    const Brush& brush() const { return m_state.brush; }
    const Pen& pen() const { return m_state.pen; }
    const Font& font() const;

    ColorRef setTextColor(ColorRef c);
    ColorRef textColor() const { return m_state.textColor; }
    ColorRef setBkColor(ColorRef c);
    ColorRef bkColor() const { return m_state.bkColor; }
    // TRANSPARENT or OPAQUE; returns the previous mode, 0 for another value.
    std::int32_t setBkMode(std::int32_t mode);
    std::int32_t bkMode() const { return m_state.bkMode; }

    // Saves the whole state; returns the new save level (1 for the first).
    std::int32_t saveDC();
    // A positive level restores that save (and drops later ones); a negative
    // one counts back from the latest (-1 is the latest). False when there
    // is no such save.
    bool restoreDC(std::int32_t level);

    // --- Clipping (logical coordinates, kept as device rectangles) --------
    // The region is a set of rectangles; an inverted or empty rectangle gives
    // an empty region, through which nothing draws.
    std::int32_t selectClipRect(const Rect& r);
    std::int32_t intersectClipRect(const Rect& r);
    std::int32_t excludeClipRect(const Rect& r);
    void removeClip();
    bool hasClip() const { return m_state.clipped; }
    // Bounding box of what can be drawn (clip region within the surface).
    Rect clipBox() const;
    bool ptVisible(std::int32_t x, std::int32_t y) const;

    // --- Drawing ---------------------------------------------------------
    bool fillRect(const Rect& r, const Brush& brush);
    bool fillSolidRect(const Rect& r, ColorRef c) { return fillRect(r, Brush::solid(c)); }
    ColorRef getPixel(std::int32_t x, std::int32_t y) const;  // CLR_INVALID outside
    bool setPixel(std::int32_t x, std::int32_t y, ColorRef c);

    // Lines with the selected pen; the end point itself is not drawn.
    Point moveTo(std::int32_t x, std::int32_t y);
    bool lineTo(std::int32_t x, std::int32_t y);
    Point currentPosition() const { return m_state.position; }

    // Raised, sunken, etched and bump edges with BF_ side flags and the
    // BF_MIDDLE, BF_SOFT, BF_ADJUST, BF_FLAT and BF_MONO modifiers.
    bool drawEdge(Rect& r, std::uint32_t edge, std::uint32_t flags);

    // One line of UTF-8 text in r with the DT_ alignment flags, the selected
    // font, the text colour and the background mode. Returns the text height
    // (0 on failure). DT_CALCRECT only sets r.right and r.bottom to the
    // extent of the text. Text is clipped to r unless DT_NOCLIP.
    std::int32_t drawText(std::string_view text, Rect& r, std::uint32_t format);
    bool textOut(std::int32_t x, std::int32_t y, std::string_view text);
    Size textExtent(std::string_view text) const;
    TextMetrics textMetrics() const;

    // Block copies. The source may be this context (overlap is handled).
    // Parts of the source rectangle outside the source surface copy nothing.
    bool bitBlt(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const DC* src,
                std::int32_t xSrc, std::int32_t ySrc, std::uint32_t rop = SRCCOPY);
    // Nearest-pixel scaling (the plain colour-on-colour mode); a negative
    // width or height on either side mirrors.
    bool stretchBlt(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const DC* src,
                    std::int32_t xSrc, std::int32_t ySrc, std::int32_t wSrc, std::int32_t hSrc,
                    std::uint32_t rop = SRCCOPY);
    // As stretchBlt with SRCCOPY, leaving the pixels of `transparent` out.
    bool transparentBlt(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                        const DC* src, std::int32_t xSrc, std::int32_t ySrc, std::int32_t wSrc,
                        std::int32_t hSrc, ColorRef transparent);

    // Rectangle gradients between two vertices, horizontal or vertical: the
    // first and last column (row) carry exactly the vertex colours.
    bool gradientFill(const TriVertex* vertices, std::uint32_t vertexCount, const GradientRect* mesh,
                      std::uint32_t meshCount, std::uint32_t mode);

    // Fills, with the selected brush, the 4-connected visible area around
    // (x, y): of colour `color` (FLOODFILLSURFACE) or bounded by `color`
    // (FLOODFILLBORDER). False when the start pixel is not part of it.
    bool extFloodFill(std::int32_t x, std::int32_t y, ColorRef color, std::uint32_t type);

private:
    struct State {
        Brush brush;
        Pen pen;
        const Font* font = nullptr;
        ColorRef textColor = 0;
        ColorRef bkColor = 0xFFFFFF;
        std::int32_t bkMode = OPAQUE;
        Point position;
        bool clipped = false;
        std::vector<Rect> clip;
    };
    // Where the source pixels of a copy are read from.
    struct SourceView {
        const Pixel* base = nullptr;
        std::int64_t stride = 0;
        std::int64_t originX = 0;
        std::int64_t originY = 0;
        const Pixel* at(std::int64_t x, std::int64_t y) const { return base + (y - originY) * stride + (x - originX); }
    };

    template <class F>
    void forEachVisible(const Rect& r, F&& f) const;
    std::int32_t regionKind() const;
    void plot(std::int64_t x, std::int64_t y, std::int32_t width, Pixel ink);
    SourceView sourceFor(const DC& src, const Rect& srcRect);
    // The operations in device pixels, behind the mapping of the public ones.
    bool deviceVisible(std::int32_t x, std::int32_t y) const;
    Rect deviceClipBox() const;
    void drawLine(Point from, Point to, std::int32_t width, Pixel ink);
    std::int32_t drawTextWith(const Font& f, std::string_view text, Rect& r, std::uint32_t format);
    bool bitBltDevice(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const DC* src,
                      std::int32_t xSrc, std::int32_t ySrc, std::uint32_t rop);
    bool stretchBltDevice(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const DC* src,
                          std::int32_t xSrc, std::int32_t ySrc, std::int32_t wSrc, std::int32_t hSrc,
                          std::uint32_t rop);
    bool transparentBltDevice(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const DC* src,
                              std::int32_t xSrc, std::int32_t ySrc, std::int32_t wSrc, std::int32_t hSrc,
                              ColorRef transparent);
    bool gradientFillDevice(const TriVertex* vertices, std::uint32_t vertexCount, const GradientRect* mesh,
                            std::uint32_t meshCount, std::uint32_t mode);
    bool extFloodFillDevice(std::int32_t x, std::int32_t y, ColorRef color, std::uint32_t type);
    std::int32_t dev(std::int32_t v) const;

    Surface* m_surface = nullptr;
    double m_scale = 1.0;
    State m_state;
    // Saved states stay allocated so that save and restore in a repaint
    // reuse them instead of allocating.
    std::vector<State> m_saved;
    std::size_t m_depth = 0;
    // Scratch buffers, kept for the same reason.
    std::vector<Rect> m_rectScratch;
    std::vector<Pixel> m_pixelScratch;
    std::vector<std::int32_t> m_mapScratch;
    std::vector<std::uint8_t> m_visited;
    std::vector<Point> m_floodStack;
    std::vector<TriVertex> m_vertexScratch;
};

// Selects a drawing object for one scope and puts the previous one back.
template <class T>
class Selected;

template <>
class Selected<Brush> {
public:
    Selected(DC& dc, const Brush& b) : m_dc(dc), m_previous(dc.selectBrush(b)) {}
    ~Selected() { m_dc.selectBrush(m_previous); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    DC& m_dc;
    Brush m_previous;
};

template <>
class Selected<Pen> {
public:
    Selected(DC& dc, const Pen& p) : m_dc(dc), m_previous(dc.selectPen(p)) {}
    ~Selected() { m_dc.selectPen(m_previous); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    DC& m_dc;
    Pen m_previous;
};

template <>
class Selected<Font> {
public:
    Selected(DC& dc, const Font* f) : m_dc(dc), m_previous(dc.selectFont(f)) {}
    ~Selected() { m_dc.selectFont(m_previous); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    DC& m_dc;
    const Font* m_previous;
};

// Saves the whole state of a context for one scope.
class TGCL_API SavedDC {
public:
    explicit SavedDC(DC& dc) : m_dc(dc), m_level(dc.saveDC()) {}
    ~SavedDC() { m_dc.restoreDC(m_level); }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    DC& m_dc;
    std::int32_t m_level;
};

// Something a drawing engine can paint into on its own: a window with a
// handle, a device context and a client rectangle (a picture box, say).
class TGCL_API DrawTarget {
public:
    virtual ~DrawTarget() = default;
    virtual std::int32_t hWnd() const = 0;  // the same handle as Control::hWnd
    virtual DC* hDC() = 0;
    // In logical pixels; the surface under hDC() may hold more device
    // pixels (DC::deviceScale).
    virtual Rect clientRect() const = 0;
    // The screen's device pixel ratio changed (Screen::devicePixelRatio):
    // a target with a surface of its own makes it anew at the new ratio
    // and draws itself again.
    virtual void deviceScaleChanged() {}
};

}  // namespace tavixTGCL2
