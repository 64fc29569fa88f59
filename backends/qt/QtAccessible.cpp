#include "QtAccessible.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QWidget>

#include <algorithm>
#include <unordered_set>

#include "QtConvert.h"
#include "QtMirror.h"
#include "QtPeer.h"
#include "QtPeerKinds.h"
#include "content/XMsnSplit.h"
#include "content/XTab.h"
#include "content/XTabStrip.h"
#include "content/XTgContentPane.h"
#include "frame/GPublicDeclares.h"
#include "platform/CommandBarLayout.h"
#include "platform/Diagnostics.h"
#include "progress/XStatusBar.h"
#include "progress/XTgProgressBar.h"
#include "toolbar/XTgToolbar.h"

namespace tavixTGCL2::qt {

namespace {

QtMirror* g_mirror = nullptr;

Control* controlOf(const QObject* widget) {
    QtPeer* p = g_mirror ? g_mirror->peerForWidget(widget) : nullptr;
    return p ? p->control() : nullptr;
}

QWidget* widgetOf(const Control& c) { return g_mirror ? g_mirror->widgetFor(c) : nullptr; }

QAccessibleInterface* accessibleOf(QObject* o) { return o ? QAccessible::queryAccessibleInterface(o) : nullptr; }

// Texts fitted to the space available vary; what is read aloud is the long
// form, with the runs of blanks a layout needs taken out.
QString spoken(const std::string& s) { return toQString(s).simplified(); }

QString accessibleCaption(const std::string& caption) { return toQString(displayCaption(caption)); }

// A tab is read by its caption (the tooltip a host gives it); the strip's
// built-in tabs have none and are read by the page they show.
QString tabName(const XTab& tab) {
    if (!tab.ToolTipText().empty()) return spoken(tab.ToolTipText());
    auto* strip = dynamic_cast<const XTabStrip*>(tab.Parent());
    std::int32_t index = -1;
    for (std::int32_t i = 0; strip && i < strip->TabCount(); ++i)
        if (&strip->Tabs(i) == &tab) index = i;
    switch (index) {
        case etgProcedureTab: return QStringLiteral("Procedure");
        case etgCommentTab: return QStringLiteral("Comment");
        case etgDutInfoTab: return QStringLiteral("DUT information");
        case etgHelpTab: return QStringLiteral("Help");
        default: return QStringLiteral("Tab %1").arg(index + 1);
    }
}

// The pane's layout is the one the operator sees; a bar on its own has
// only its own state.
std::int32_t layoutOf(const XMsnSplit& split) {
    if (auto* pane = dynamic_cast<const XTgContentPane*>(split.Parent())) return pane->ResultViewState();
    return split.State();
}

struct StatusTexts {
    QString standard, verdict, message;
};

StatusTexts statusTexts(const XStatusBar& bar) {
    return {spoken(bar.StandardTexts()[1]), spoken(bar.StatusTexts()[1]), spoken(bar.Message())};
}

int progressValue(XStatusBar& bar) {
    ITgProgressBar& p = bar.ProgressBarInterface();
    return p.Visible() ? p.Value() : 0;
}

// A drawn control seen through its widget. What it is comes from the control
// at each call: the interface outlives neither its widget nor the mirror's
// knowledge of it, and answers as a plain widget once the control is gone.
class ControlAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ControlAccessible(QWidget* w) : QAccessibleWidget(w) {}

    QAccessible::Role role() const override {
        Control* c = control();
        if (dynamic_cast<XTabStrip*>(c)) return QAccessible::PageTabList;
        if (dynamic_cast<XTab*>(c)) return QAccessible::PageTab;
        if (dynamic_cast<XMsnSplit*>(c)) return QAccessible::Splitter;
        if (dynamic_cast<XStatusBar*>(c)) return QAccessible::StatusBar;
        if (dynamic_cast<XTgProgressBar*>(c)) return QAccessible::ProgressBar;
        if (dynamic_cast<XTgToolbar*>(c)) return QAccessible::ToolBar;
        if (c && !c->Parent()) return QAccessible::Window;
        return QAccessibleWidget::role();
    }

    QString text(QAccessible::Text t) const override {
        Control* c = control();
        if (!c || (t == QAccessible::Name && !widget()->accessibleName().isEmpty())) return QAccessibleWidget::text(t);
        if (t == QAccessible::Name) {
            if (auto* tab = dynamic_cast<XTab*>(c)) return tabName(*tab);
            if (dynamic_cast<XTabStrip*>(c)) return QStringLiteral("Pages");
            if (auto* split = dynamic_cast<XMsnSplit*>(c))
                return split->Caption().empty() ? QStringLiteral("Result view") : spoken(split->Caption());
            if (dynamic_cast<XStatusBar*>(c)) return QStringLiteral("Status");
            if (auto* bar = dynamic_cast<XTgProgressBar*>(c))
                return bar->Text().empty() ? QStringLiteral("Progress") : spoken(bar->Text());
            if (dynamic_cast<XTgToolbar*>(c)) return QStringLiteral("Run toolbar");
            if (!c->Caption().empty()) return accessibleCaption(c->Caption());
        }
        if (t == QAccessible::Description || t == QAccessible::Value)
            if (auto* split = dynamic_cast<XMsnSplit*>(c)) return resultViewStateText(layoutOf(*split));
        if (t == QAccessible::Value)
            if (auto* bar = dynamic_cast<XTgProgressBar*>(c)) return QString::number(bar->Value()) + QLatin1Char('%');
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        Control* c = control();
        if (auto* tab = dynamic_cast<XTab*>(c)) {
            auto* strip = dynamic_cast<XTabStrip*>(tab->Parent());
            s.selectable = true;
            s.selected = tab->Selected();
            s.focused = tab->Selected() && strip && strip->hasFocus();
            s.invisible = !tab->isShown();
            s.disabled = !tab->Enabled() || (strip && !strip->Enabled());
        } else if (auto* bar = dynamic_cast<XTgProgressBar*>(c)) {
            s.readOnly = true;
            s.animated = s.busy = bar->Animate();
        } else if (c && c->CanGetFocus()) {
            s.focusable = true;
            s.focused = c->hasFocus();
        }
        return s;
    }

    int childCount() const override {
        Control* c = control();
        if (auto* strip = dynamic_cast<XTabStrip*>(c)) return strip->TabCount();
        if (dynamic_cast<XTab*>(c) || dynamic_cast<XMsnSplit*>(c) || dynamic_cast<XTgProgressBar*>(c)) return 0;
        if (dynamic_cast<XStatusBar*>(c)) return static_cast<int>(statusRows().size());
        return QAccessibleWidget::childCount();
    }

    QAccessibleInterface* child(int index) const override {
        Control* c = control();
        if (auto* strip = dynamic_cast<XTabStrip*>(c)) {
            if (index < 0 || index >= strip->TabCount()) return nullptr;
            return accessibleOf(widgetOf(strip->Tabs(index)));
        }
        if (dynamic_cast<XTab*>(c) || dynamic_cast<XMsnSplit*>(c) || dynamic_cast<XTgProgressBar*>(c)) return nullptr;
        if (dynamic_cast<XStatusBar*>(c)) {
            const auto rows = statusRows();
            return index >= 0 && index < static_cast<int>(rows.size()) ? accessibleOf(rows[static_cast<std::size_t>(index)]) : nullptr;
        }
        return QAccessibleWidget::child(index);
    }

    int indexOfChild(const QAccessibleInterface* iface) const override {
        if (!iface) return -1;
        for (int i = 0, n = childCount(); i < n; ++i)
            if (QAccessibleInterface* k = child(i); k && k->object() == iface->object()) return i;
        return -1;
    }

    QAccessibleInterface* focusChild() const override {
        // The strip's focus is on its selected tab.
        if (auto* strip = dynamic_cast<XTabStrip*>(control()); strip && strip->hasFocus() && strip->Selected() >= 0)
            return child(strip->Selected());
        return QAccessibleWidget::focusChild();
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface && dynamic_cast<XTgProgressBar*>(control()))
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QStringList actionNames() const override {
        if (dynamic_cast<XMsnSplit*>(control())) return {toggleAction(), pressAction(), setFocusAction()};
        return QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override {
        auto* split = dynamic_cast<XMsnSplit*>(control());
        if (split && (name == toggleAction() || name == pressAction())) {
            // What Space does on the focused bar, and a click.
            auto keep = split->weak_from_this().lock();
            resumeNext([&] { split->doClick(); });
            return;
        }
        if (Control* c = control(); c && name == setFocusAction()) {
            auto keep = c->weak_from_this().lock();
            resumeNext([&] { c->SetFocus(); });
            return;
        }
        QAccessibleWidget::doAction(name);
    }

    // --- value (the drawn progress bar) --------------------------------------
    QVariant currentValue() const override {
        auto* bar = dynamic_cast<XTgProgressBar*>(control());
        return bar ? QVariant(static_cast<int>(bar->Value())) : QVariant();
    }
    void setCurrentValue(const QVariant&) override {}  // shows progress; the operator does not set it
    QVariant maximumValue() const override {
        auto* bar = dynamic_cast<XTgProgressBar*>(control());
        return bar ? QVariant(static_cast<int>(bar->renderer().Max())) : QVariant();
    }
    QVariant minimumValue() const override {
        auto* bar = dynamic_cast<XTgProgressBar*>(control());
        return bar ? QVariant(static_cast<int>(bar->renderer().Min())) : QVariant();
    }
    QVariant minimumStepSize() const override { return 1; }

private:
    Control* control() const { return controlOf(object()); }

    // Standard, verdict, message, progress: the status bar's rows.
    std::vector<QObject*> statusRows() const {
        auto* bar = dynamic_cast<XStatusBar*>(control());
        std::vector<QObject*> rows;
        if (!bar) return rows;
        for (const Control* l : {static_cast<const Control*>(&bar->lblStd()), static_cast<const Control*>(&bar->lblStatus()),
                                 static_cast<const Control*>(&bar->lblProg())})
            if (QWidget* w = widgetOf(*l)) rows.push_back(w);
        rows.push_back(progressElementOf(*widget()));
        return rows;
    }
};

// The status bar's progress bar.
class ProgressAccessible : public QAccessibleObject, public QAccessibleValueInterface {
public:
    explicit ProgressAccessible(ProgressElement* e) : QAccessibleObject(e) {}

    QAccessibleInterface* parent() const override { return accessibleOf(object()->parent()); }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QWindow* window() const override {
        QAccessibleInterface* p = parent();
        return p ? p->window() : nullptr;
    }
    QAccessible::Role role() const override { return QAccessible::ProgressBar; }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return QStringLiteral("Progress");
        if (t == QAccessible::Value)
            if (XStatusBar* bar = statusBar()) return QString::number(progressValue(*bar)) + QLatin1Char('%');
        return {};
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        XStatusBar* bar = statusBar();
        auto* host = static_cast<QWidget*>(object()->parent());
        s.invisible = !bar || !host || !host->isVisible() || !bar->ProgressBarInterface().Visible();
        s.animated = s.busy = bar && bar->ProgressBarInterface().Animate();
        return s;
    }
    QRect rect() const override {
        // The upper row, where the bar is drawn.
        auto* host = static_cast<QWidget*>(object()->parent());
        if (!host) return {};
        const QRect r(3, 2, std::max(0, host->width() - 6), std::max(0, host->height() / 2 - 3));
        return QRect(host->mapToGlobal(r.topLeft()), r.size());
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return nullptr;
    }
    QVariant currentValue() const override {
        XStatusBar* bar = statusBar();
        return bar ? QVariant(progressValue(*bar)) : QVariant();
    }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override {
        XStatusBar* bar = statusBar();
        return bar ? QVariant(static_cast<int>(bar->ProgressBar().Max())) : QVariant();
    }
    QVariant minimumValue() const override {
        XStatusBar* bar = statusBar();
        return bar ? QVariant(static_cast<int>(bar->ProgressBar().Min())) : QVariant();
    }
    QVariant minimumStepSize() const override { return 1; }

private:
    XStatusBar* statusBar() const { return dynamic_cast<XStatusBar*>(controlOf(object()->parent())); }
};

std::unordered_set<const QObject*>& drawnObjects() {
    static std::unordered_set<const QObject*> objects;
    return objects;
}

QAccessibleInterface* factory(const QString&, QObject* o) {
    if (!g_mirror || !o || !drawnObjects().count(o)) return nullptr;
    if (auto* e = dynamic_cast<ProgressElement*>(o)) return new ProgressAccessible(e);
    // Only the mirror makes painted widgets. Their interface looks the
    // control up at each call, so one made before the peer is recorded
    // still answers for it.
    if (auto* w = dynamic_cast<PaintedWidget*>(o)) return new ControlAccessible(w);
    return nullptr;
}

void send(QObject* o, QAccessible::Event type) {
    if (!o || !QAccessible::isActive()) return;
    QAccessibleEvent e(o, type);
    QAccessible::updateAccessibility(&e);
}

}  // namespace

void announceStateChange(QObject* o, QAccessible::State changed) {
    if (!o || !QAccessible::isActive()) return;
    QAccessibleStateChangeEvent e(o, changed);
    QAccessible::updateAccessibility(&e);
}

void setDrawnObject(QObject* o, bool drawn) {
    if (drawn) drawnObjects().insert(o);
    else drawnObjects().erase(o);
}

void serveAccessibility(QtMirror* mirror) {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
    g_mirror = mirror;
}

ProgressElement* progressElementOf(QWidget& statusBarWidget) {
    if (auto* e = statusBarWidget.findChild<ProgressElement*>(QString(), Qt::FindDirectChildrenOnly)) return e;
    return new ProgressElement(&statusBarWidget);
}

QString resultViewStateText(std::int32_t state) {
    switch (state) {
        case ervsNormal: return QStringLiteral("Normal");
        case ervsLarge: return QStringLiteral("Large");
        case ervsMaximized: return QStringLiteral("Maximized");
        case ervsMinimized: return QStringLiteral("Minimized");
        case ervsHideResults: return QStringLiteral("Results hidden");
        case ervsHideProcedure: return QStringLiteral("Procedure hidden");
        default: return QString::number(state);
    }
}

// --- notifier -----------------------------------------------------------------------

AccessNotifier::AccessNotifier(QtMirror& mirror) : m_mirror(mirror) {}

AccessNotifier::~AccessNotifier() = default;

void AccessNotifier::changed(Control& c, Change) {
    // The pieces of a drawn control report changes of their own (a label's
    // caption, a tab's picture): the control they belong to is looked at.
    Control* p = c.Parent();
    if (auto* bar = dynamic_cast<XStatusBar*>(&c)) syncStatusBar(*bar);
    else if (auto* owner = dynamic_cast<XStatusBar*>(p)) syncStatusBar(*owner);
    else if (auto* tab = dynamic_cast<XTab*>(&c)) syncTab(*tab, dynamic_cast<XTabStrip*>(p));
    else if (auto* strip = dynamic_cast<XTabStrip*>(&c)) {
        for (std::int32_t i = 0; i < strip->TabCount(); ++i) syncTab(strip->Tabs(i), strip);
    } else if (auto* split = dynamic_cast<XMsnSplit*>(&c)) syncSplitter(*split);
    else if (auto* pane = dynamic_cast<XTgContentPane*>(&c)) syncSplitter(pane->xmsSplit());
    else if (auto* progress = dynamic_cast<XTgProgressBar*>(&c)) {
        if (QWidget* w = m_mirror.widgetFor(*progress)) feedValue(w, progress->Value());
    }
}

void AccessNotifier::focusChanged(Control& c) {
    // A screen reader reads the part that has the focus: the strip's
    // selected tab.
    auto* strip = dynamic_cast<XTabStrip*>(&c);
    if (!strip || !strip->hasFocus() || strip->Selected() < 0 || strip->Selected() >= strip->TabCount()) return;
    send(m_mirror.widgetFor(strip->Tabs(strip->Selected())), QAccessible::Focus);
}

void AccessNotifier::forget(const Control* c, QWidget* widget) {
    m_seen.erase(c);
    for (auto it = m_feeds.begin(); it != m_feeds.end();) {
        const QObject* t = it->first;
        if (t == widget || (widget && t->parent() == widget)) it = m_feeds.erase(it);
        else ++it;
    }
}

void AccessNotifier::syncStatusBar(XStatusBar& bar) {
    QWidget* barWidget = m_mirror.widgetFor(bar);
    if (!barWidget) return;
    const StatusTexts now = statusTexts(bar);
    // Names are the full texts, whatever the rows have room for; the
    // description says which row it is. Qt raises NameChanged itself.
    auto label = [&](const Control& l, const QString& name, const QString& part) -> QWidget* {
        QWidget* w = m_mirror.widgetFor(l);
        if (!w) return nullptr;
        if (w->accessibleDescription() != part) w->setAccessibleDescription(part);
        if (w->accessibleName() != name) w->setAccessibleName(name);
        return w;
    };
    label(bar.lblStd(), now.standard, QStringLiteral("Standard"));
    label(bar.lblProg(), now.message, QStringLiteral("Message"));
    QWidget* verdict = label(bar.lblStatus(), now.verdict, QStringLiteral("Verdict"));
    Seen& seen = m_seen[&bar];
    const bool newVerdict = seen.known && seen.name != now.verdict;
    seen.known = true;
    seen.name = now.verdict;
    // A verdict is news once; clearing it is not.
    if (newVerdict && !now.verdict.isEmpty()) send(verdict, QAccessible::Alert);
    feedValue(progressElementOf(*barWidget), progressValue(bar));
}

void AccessNotifier::syncTab(XTab& tab, XTabStrip* strip) {
    QWidget* w = m_mirror.widgetFor(tab);
    if (!w) return;
    Seen& seen = m_seen[&tab];
    const QString name = tabName(tab);
    const bool selected = tab.Selected();
    if (seen.known && seen.name != name) send(w, QAccessible::NameChanged);
    if (seen.known && seen.selected != selected) {
        QAccessible::State s;
        s.selected = true;
        announceStateChange(w, s);
        // The strip's focus moved with the selection.
        if (selected && strip && strip->hasFocus()) send(w, QAccessible::Focus);
    }
    seen.known = true;
    seen.name = name;
    seen.selected = selected;
}

void AccessNotifier::syncSplitter(XMsnSplit& split) {
    QWidget* w = m_mirror.widgetFor(split);
    if (!w) return;
    Seen& seen = m_seen[&split];
    const QString name = spoken(split.Caption());
    const QString description = resultViewStateText(layoutOf(split));
    if (seen.known && seen.name != name) send(w, QAccessible::NameChanged);
    if (seen.known && seen.description != description) send(w, QAccessible::DescriptionChanged);
    seen.known = true;
    seen.name = name;
    seen.description = description;
}

void AccessNotifier::feedValue(QObject* target, int value) {
    auto& slot = m_feeds[target];
    if (!slot) {
        // First sight: the value is where it starts, not news.
        slot = std::make_unique<ValueFeed>();
        slot->target = target;
        slot->sent = value;
        slot->timer.setSingleShot(true);
        slot->timer.setInterval(kValueIntervalMs);
        ValueFeed* feed = slot.get();
        QObject::connect(&feed->timer, &QTimer::timeout, &feed->timer, [this, feed] {
            if (feed->hasPending && feed->pending != feed->sent) sendValue(*feed);
            feed->hasPending = false;
        });
        return;
    }
    ValueFeed& feed = *slot;
    if (!QAccessible::isActive()) {
        feed.sent = value;
        feed.hasPending = false;
        return;
    }
    if (feed.timer.isActive()) {
        // Within the interval: only the latest value waits for its end.
        feed.pending = value;
        feed.hasPending = value != feed.sent;
        return;
    }
    if (value == feed.sent) return;
    feed.pending = value;
    sendValue(feed);
}

void AccessNotifier::sendValue(ValueFeed& feed) {
    feed.sent = feed.pending;
    feed.hasPending = false;
    feed.timer.start();
    if (!feed.target) return;
    QAccessibleValueChangeEvent e(feed.target.data(), feed.sent);
    QAccessible::updateAccessibility(&e);
}

}  // namespace tavixTGCL2::qt
