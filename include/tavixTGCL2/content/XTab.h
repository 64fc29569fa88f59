#pragma once
// One tab of the content pane's tab strip: a fixed-size picture of a tab
// whose body takes its selection colour while it is selected, with an icon
// that changes between an unselected and a selected picture.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/DC.h>
#include <tavixTGCL2/platform/Picture.h>
#include <tavixTGCL2/platform/Surface.h>

namespace tavixTGCL2 {

class XTransparentImage;

class TGCL_API XTab : public Control, public DrawTarget {
public:
    // Twips; 32 x 58 pixels at 15 twips to a pixel.
    static constexpr std::int32_t kWidth = 480;
    static constexpr std::int32_t kHeight = 870;
    static constexpr OleColor kDefaultSelColor = 0xFFFFFF;
    static constexpr OleColor kDefaultMaskColor = 0x0000FF;  // pure red, as the library's icons use

    explicit XTab(std::string name = "xtbTab");
    ~XTab() override;

    // The icon shown while not selected ("Picture").
    PicturePtr Picture() const { return m_pic; }
    void setPicture(PicturePtr p);
    // The icon shown while selected ("SelectedPicture").
    PicturePtr SelPicture() const { return m_picSel; }
    void setSelPicture(PicturePtr p);
    // The icon's transparent colour ("MaskColor").
    OleColor MaskColor() const;
    void setMaskColor(OleColor c);
    // Not persisted.
    bool Selected() const { return m_fSelected; }
    void setSelected(bool f);
    // The body colour while selected ("SelColor").
    OleColor SelColor() const { return m_lSelColor; }
    void setSelColor(OleColor c);
    // Shown on the tab and on its icon ("ToolTipText").
    void setToolTipText(std::string s);

    // The tab's own pixels: its background with the filled body. The icon is
    // a child control and is not part of them.
    const Surface& surface() const { return m_surface; }
    XTransparentImage& icon() const { return *xtiPicture; }
    // The background image of the tab's image list by key, "active" or
    // "inactive"; nullptr for any other key.
    PicturePtr background(const std::string& key) const;

    void ReadProperties();
    void WriteProperties();

    // DrawTarget: the tab's surface, for whoever paints the tree.
    std::int32_t hWnd() const override { return Control::hWnd(); }
    DC* hDC() override { return &m_dc; }
    Rect clientRect() const override { return m_dc.toLogical(m_surface.bounds()); }
    void deviceScaleChanged() override;

    void setProperty(const std::string& member, const Variant& value) override;

protected:
    void onResize() override;

private:
    friend struct MemberTables;
    static const MemberTable<XTab>& members();
    void showBackground(const std::string& key);
    void fillBody();
    void showIcon(const PicturePtr& p);
    void applyPicture(PicturePtr p);
    void applySelPicture(PicturePtr p);
    void applySelColor(OleColor c);

    std::shared_ptr<XTransparentImage> xtiPicture;
    std::map<std::string, PicturePtr> ilstTab;
    bool m_fSelected = false;
    PicturePtr m_pic;
    PicturePtr m_picSel;
    OleColor m_lSelColor = kDefaultSelColor;
    Surface m_surface;
    DC m_dc;
};

}  // namespace tavixTGCL2
