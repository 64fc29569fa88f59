#pragma once
// The page of the procedure tab, as far as the content pane's frame needs
// it: the caption line, the details pane along the right edge with the
// host's details view over its client area, and the procedure shown as
// plain text below the caption. The browser, rich-text and web-toolbar
// views come with the full procedure display, which keeps this interface.
//
// Events: ResizePanProc reports the details view's rectangle after every
// layout pass that has a details view; ResizeRTFPane reports the procedure
// rectangle (X always 0) and places the procedure view where the handler
// left y, dx and dy.
#include <cstdint>
#include <memory>
#include <string>

#include "frame/HostComponents.h"
#include "platform/Control.h"
#include "platform/Event.h"

namespace tavixTGCL2 {

class Label;
class XTgDetailsPane;

class XPaneProcedure : public Control {
public:
    static constexpr const char* kClassName = "tavixTGCL2.XPaneProcedure";
    static constexpr std::int32_t kCaptionGap = 60;
    static constexpr std::int32_t kDetailsGap = 120;

    explicit XPaneProcedure(std::string name = "xpvProc");
    ~XPaneProcedure() override;

    // Takes the caption and the procedure of the element; without one the
    // pane is emptied.
    void Initialize(const std::shared_ptr<IElementInfo>& info);
    std::string Caption() const;
    void setCaption(const std::string& s);
    // Shows the procedure text as it stands, whatever the format.
    void SetProcedure(std::int16_t iFormat, std::string& sProc);

    // The host's details view: a control laid over the details pane's client
    // area, or any other object, for which the hidden label lblDotNetCtrl
    // stands in; nullptr removes it.
    void setTestDetailsView(ObjectPtr v);
    void ResizeLabel(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight);
    void UpdateLocations(std::int32_t& X, std::int32_t& y, std::int32_t& dx, std::int32_t& dy, bool& fExpand);
    bool DotNetRtf() const { return m_dotNetRtf; }
    void setDotNetRtf(bool f) { m_dotNetRtf = f; }
    void Terminate();

    Event<std::int32_t, std::int32_t, std::int32_t, std::int32_t, bool> ResizePanProc;
    Event<float&, float&, float&, float&> ResizeRTFPane;

    XTgDetailsPane& details() const { return *xdpDetails; }
    Label& captionLabel() const { return *lblTECaption; }
    Control* procedureView() const;

    // Runs on every resize and whenever the content changes.
    void layout();

protected:
    void onResize() override { layout(); }

private:
    void sizeCaption(std::int32_t width);
    std::shared_ptr<Control> detailsViewControl() const;

    std::shared_ptr<Label> lblTECaption;
    std::shared_ptr<XTgDetailsPane> xdpDetails;
    std::shared_ptr<Label> lblDotNetCtrl;
    std::shared_ptr<Label> m_procView;
    ObjectPtr m_detailsView;
    bool m_hasDetailsView = false;
    bool m_inLayout = false;
    bool m_dotNetRtf = false;
};

}  // namespace tavixTGCL2
