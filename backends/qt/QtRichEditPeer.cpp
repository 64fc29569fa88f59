// The host kit's rich-text viewer as a QTextBrowser: the document the
// viewer read (paragraphs of formatted runs and links) is shown as rich
// text, and a link the operator clicks is the viewer's clickLink, so its
// LinkClicked reaches the procedure pane as from the headless viewer.
#include <QTextBrowser>
#include <QUrl>

#include "QtConvert.h"
#include "QtMirror.h"
#include "QtPeerKinds.h"
#include "views/XRichEdit.h"

namespace tavixTGCL2::qt {

namespace {

QString runHtml(const RtfRun& run) {
    QString text = toQString(run.text).toHtmlEscaped();
    text.replace('\n', "<br>");
    text.replace('\t', "&emsp;");
    QString style = QStringLiteral("font-size:%1pt;").arg(run.fontSize);
    if (run.bold) style += "font-weight:bold;";
    if (run.italic) style += "font-style:italic;";
    if (run.underline) style += "text-decoration:underline;";
    if (run.color >= 0) style += "color:" + toQColor(static_cast<ColorRef>(run.color)).name() + ";";
    QString html = "<span style=\"" + style + "\">" + text + "</span>";
    if (run.link >= 0) html = QStringLiteral("<a href=\"#link-%1\">").arg(run.link) + html + "</a>";
    return html;
}

class RichEditPeer final : public QtPeer {
public:
    RichEditPeer(QtMirror& m, XRichEdit& r, QTextBrowser* w) : QtPeer(m, r, w), m_view(w) {
        w->setOpenLinks(false);
        w->setFrameShape(QFrame::NoFrame);
        QObject::connect(w, &QTextBrowser::anchorClicked, w, [this](const QUrl& url) {
            auto* r = static_cast<XRichEdit*>(control());
            const QString f = url.fragment();
            if (r && f.startsWith("link-")) resumeNext([&] { r->clickLink(static_cast<std::size_t>(f.mid(5).toULongLong())); });
        });
    }
    bool reportsClicks() const override { return true; }
    bool ownsKeys() const override { return true; }

protected:
    void applyOther(Change what) override {
        if (what != Change::All && what != Change::Content) return;
        const auto* r = static_cast<XRichEdit*>(control());
        QString html;
        for (const RtfParagraph& p : r->document().paragraphs) {
            html += "<p style=\"margin:0\">";
            for (const RtfRun& run : p.runs) html += runHtml(run);
            html += "</p>";
        }
        m_view->setHtml(html);
    }

private:
    QTextBrowser* m_view;
};

}  // namespace

std::unique_ptr<QtPeer> makeRichEditPeer(QtMirror& mirror, XRichEdit& viewer, QWidget* parent) {
    auto* w = made<QTextBrowser>(parent);
    return std::make_unique<RichEditPeer>(mirror, viewer, w);
}

}  // namespace tavixTGCL2::qt
