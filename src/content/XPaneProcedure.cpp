#include "content/XPaneProcedure.h"

#include <algorithm>
#include <cmath>

#include "content/XTgDetailsPane.h"
#include "frame/MMain.h"
#include "platform/Error.h"
#include "platform/FontEngine.h"
#include "platform/StandardControls.h"

namespace tavixTGCL2 {

namespace {

std::int32_t roundEven(double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

// The height a word-wrapped label needs for its text at a width, counted as
// the font engine lays the lines out.
std::int32_t wrappedHeight(const Label& label, std::int32_t widthTwips) {
    const FontEngine& fe = fontEngine();
    const std::int32_t widthPx = std::max(1, Screen::toPixels(widthTwips));
    const std::int32_t lineHeight = std::max(1, fe.metrics(label.font()).height);
    const std::string& text = label.Caption();
    std::int32_t lines = 0;
    std::size_t begin = 0;
    do {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::size_t cut = end;
        while (cut > begin && fe.measure(label.font(), std::string_view(text).substr(begin, cut - begin)).cx > widthPx) {
            std::size_t blank = text.rfind(' ', cut - 1);
            if (blank == std::string::npos || blank <= begin) break;
            cut = blank;
        }
        ++lines;
        begin = cut;
        while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\n'))
            if (text[begin++] == '\n') break;
    } while (begin < text.size());
    return Screen::toTwips(lines * lineHeight);
}

}  // namespace

XPaneProcedure::XPaneProcedure(std::string name) : Control(kClassName, std::move(name)) {
    MMain::ensureStarted();
    setBackColor(0xF9DBC4);
    lblTECaption = create<Label>("lblTECaption");
    lblTECaption->setBackStyleTransparent(true);
    lblTECaption->setWordWrap(true);
    lblTECaption->setForeColor(0x000000);
    Font f = lblTECaption->font();
    f.bold = true;
    f.size = 12;
    lblTECaption->setFont(f);
    xdpDetails = create<XTgDetailsPane>("xdpDetails");
    xdpDetails->setVisible(false);
    xdpDetails->ExpandCollapse.connect([this] {
        if (auto v = detailsViewControl()) resumeNext([&] { v->setVisible(xdpDetails->Expanded()); });
        layout();
    });
    lblDotNetCtrl = create<Label>("lblDotNetCtrl");
    lblDotNetCtrl->setVisible(false);
}

XPaneProcedure::~XPaneProcedure() = default;

Control* XPaneProcedure::procedureView() const { return m_procView.get(); }

void XPaneProcedure::Initialize(const std::shared_ptr<IElementInfo>& info) {
    std::string caption, text;
    std::int16_t format = 0;
    if (info) {
        resumeNext([&] { caption = info->Caption(); });
        resumeNext([&] { format = info->ProcFormat(); });
        resumeNext([&] { text = info->ProcText(); });
    }
    lblTECaption->setCaption(caption);
    SetProcedure(format, text);
}

std::string XPaneProcedure::Caption() const { return lblTECaption->Caption(); }

void XPaneProcedure::setCaption(const std::string& s) {
    lblTECaption->setCaption(s);
    layout();
}

void XPaneProcedure::SetProcedure(std::int16_t, std::string& sProc) {
    if (!m_procView) {
        m_procView = create<Label>("lblProcedure");
        m_procView->setBackStyleTransparent(true);
        m_procView->setWordWrap(true);
        m_procView->setForeColor(0x000000);
    }
    m_procView->setCaption(sProc);
    layout();
}

std::shared_ptr<Control> XPaneProcedure::detailsViewControl() const {
    return std::dynamic_pointer_cast<Control>(m_detailsView);
}

void XPaneProcedure::setTestDetailsView(ObjectPtr v) {
    if (!v) m_detailsView = nullptr;
    else if (std::dynamic_pointer_cast<Control>(v)) m_detailsView = v;
    else m_detailsView = lblDotNetCtrl;
    auto view = detailsViewControl();
    if (!view) {
        m_hasDetailsView = false;
        xdpDetails->setVisible(false);
    } else {
        m_hasDetailsView = true;
        resumeNext([&] {
            const std::int32_t frame = xdpDetails->Width() - static_cast<std::int32_t>(xdpDetails->ClientWidth());
            xdpDetails->setWidth(view->Width() + frame);
        });
        xdpDetails->setVisible(true);
        resumeNext([&] {
            if (Visible()) {
                view->setVisible(xdpDetails->Expanded());
                view->ZOrder(0);
            } else {
                view->setVisible(false);
            }
        });
    }
    layout();
}

void XPaneProcedure::ResizeLabel(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight) {
    resumeNext([&] { lblDotNetCtrl->setLeft(lLeft); });
    resumeNext([&] { lblDotNetCtrl->setTop(lTop); });
    resumeNext([&] { lblDotNetCtrl->setWidth(lWidth); });
    resumeNext([&] { lblDotNetCtrl->setHeight(lHeight); });
}

void XPaneProcedure::UpdateLocations(std::int32_t& X, std::int32_t& y, std::int32_t& dx, std::int32_t& dy,
                                     bool& fExpand) {
    fExpand = xdpDetails->Expanded() && m_hasDetailsView;
    if (auto v = detailsViewControl()) {
        X = v->Left();
        y = v->Top();
        dx = v->Width();
        dy = v->Height();
    }
}

void XPaneProcedure::sizeCaption(std::int32_t width) {
    lblTECaption->setAutoSize(false);
    lblTECaption->Move(0, 0, width, lblTECaption->Height());
    lblTECaption->setAutoSize(true);
    lblTECaption->setHeight(wrappedHeight(*lblTECaption, width));
}

void XPaneProcedure::layout() {
    if (m_inLayout) return;
    m_inLayout = true;
    const std::int32_t cw = ScaleWidth();
    resumeNext([&] { sizeCaption(cw); });
    const std::int32_t top = lblTECaption->Height() + kCaptionGap;
    std::int32_t w = ScaleWidth();
    const std::int32_t h = ScaleHeight() - top;
    resumeNext([&] { xdpDetails->Move(w - xdpDetails->Width(), top, xdpDetails->Width(), h); });
    auto view = detailsViewControl();
    if (m_hasDetailsView) {
        w -= xdpDetails->Width();
        if (xdpDetails->Expanded()) {
            if (view)
                resumeNext([&] {
                    view->Move(roundEven(Left() + xdpDetails->Left() + xdpDetails->ClientLeft()),
                               roundEven(Top() + xdpDetails->Top() + xdpDetails->ClientTop()),
                               roundEven(xdpDetails->ClientWidth()), roundEven(xdpDetails->ClientHeight()));
                });
            w -= kDetailsGap;
        }
    }
    if (m_procView || m_dotNetRtf) {
        float X = 0, y = static_cast<float>(top), dx = static_cast<float>(w), dy = static_cast<float>(h);
        resumeNext([&] { ResizeRTFPane(X, y, dx, dy); });
        if (!m_dotNetRtf && m_procView)
            resumeNext([&] { m_procView->Move(0, roundEven(y), roundEven(dx), roundEven(dy)); });
        const bool bExpand = xdpDetails->Expanded() && m_hasDetailsView;
        if (view) {
            resumeNext([&] { ResizePanProc(view->Left(), view->Top(), view->Width(), view->Height(), bExpand); });
            if (view == lblDotNetCtrl) lblDotNetCtrl->setVisible(false);
        }
    }
    m_inLayout = false;
}

void XPaneProcedure::Terminate() {
    if (m_procView) {
        remove(*m_procView);
        m_procView.reset();
    }
}

}  // namespace tavixTGCL2
