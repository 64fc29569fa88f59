// Command bars as Qt tool bars: each docked bar is a QToolBar holding one
// QToolButton per control, placed where the component's layout put the
// control, and the key bindings become QShortcuts of the window. Every
// operator action goes through the component exactly as the headless path
// does: a click is CommandBarControl::Execute, a menu is the menu bar's
// ShowPopup (shown by the presenter), a key is CommandBars::pressKey.
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

#include <map>

#include "QtAccessible.h"
#include "QtConvert.h"
#include "QtMirror.h"
#include "QtPeerKinds.h"
#include "QtPresenter.h"
#include "platform/CommandBars.h"

namespace tavixTGCL2::qt {

namespace {

// The icon as the bar shows it: the list's picture at the bar's icon size,
// faded (lighter until the mouse is over it) when the component asks.
QIcon iconFor(const CommandBars& bars, const CommandBar& bar, const CommandBarControl& c) {
    auto list = bars.Icons();
    if (!list) return {};
    const std::int32_t id = c.IconId() ? c.IconId() : c.Id();
    const double ratio = Screen::devicePixelRatio();
    // The list's icon nearest the device size: a shape-drawn icon is drawn
    // again at exactly that size, a bitmap is scaled smoothly.
    auto icon = list->FindIcon(id, Screen::toDevice(bar.IconWidth(), ratio));
    if (!icon) return {};
    QIcon result;
    // The logical size too when the ratio is not 1, for a window on a
    // screen of ratio 1.
    const double ratios[2] = {1.0, ratio};
    for (int i = 0; i < (ratio == 1.0 ? 1 : 2); ++i) {
        const double r = ratios[i];
        const Icon sized = iconAtSize(*icon, Screen::toDevice(bar.IconWidth(), r), Screen::toDevice(bar.IconHeight(), r));
        if (sized.pixels.empty()) continue;
        QPixmap full = QPixmap::fromImage(iconImage(sized));
        full.setDevicePixelRatio(r);
        if (bars.Options().FadedIcons()) {
            QPixmap faded(full.size());
            faded.setDevicePixelRatio(r);
            faded.fill(Qt::transparent);
            QPainter p(&faded);
            p.setOpacity(0.5);
            p.drawPixmap(0, 0, full);
            p.end();
            result.addPixmap(faded, QIcon::Normal);
            result.addPixmap(full, QIcon::Active);
            result.addPixmap(full, QIcon::Selected);
        } else {
            result.addPixmap(full, QIcon::Normal);
        }
    }
    return result;
}

Qt::ToolButtonStyle faceOf(const CommandBar& bar, const CommandBarControl& c) {
    std::int32_t style = c.Style();
    if (bar.ShowTextBelowIcons() && (style == cbsAutomatic || style == cbsIconAndCaption || style == cbsIconAndCaptionBelow))
        style = cbsIconAndCaptionBelow;
    if (style == cbsAutomatic) style = bar.Type() == cbtMenuBar ? cbsCaption : cbsIcon;
    switch (style) {
        case cbsCaption: return Qt::ToolButtonTextOnly;
        case cbsIconAndCaption: return Qt::ToolButtonTextBesideIcon;
        case cbsIconAndCaptionBelow: return Qt::ToolButtonTextUnderIcon;
        default: return Qt::ToolButtonIconOnly;
    }
}

class CommandBarPeer;

class BarButton : public QToolButton {
public:
    BarButton(CommandBarPeer& peer, std::shared_ptr<CommandBarControl> c, QWidget* parent);
    void sync(const CommandBars& bars, const CommandBar& bar);
    std::shared_ptr<CommandBarControl> control() const {
        auto c = m_control.lock();
        return c && !c->isDeleted() ? c : nullptr;
    }

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    void openMenu();
    void clickedByOperator();

    CommandBarPeer& m_peer;
    std::weak_ptr<CommandBarControl> m_control;
    // Gives the style its drop-down arrow; the real menu comes from the
    // component through the presenter.
    QMenu m_arrowMenu;
};

class BarWidget : public QToolBar {
public:
    BarWidget(CommandBarPeer& peer, QWidget* parent) : QToolBar(parent), m_peer(peer) {
        setMovable(false);
        setFloatable(false);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    CommandBarPeer& m_peer;
};

class CommandBarPeer : public QtPeer {
public:
    // The widget keeps a reference to its peer; it uses it only once events
    // arrive, after construction.
    CommandBarPeer(QtMirror& m, CommandBar& bar, QWidget* parent) : QtPeer(m, bar, new BarWidget(*this, parent)) {}
    ~CommandBarPeer() override {
        for (auto& [c, b] : m_buttons) delete b.data();
    }

    CommandBar* bar() const { return static_cast<CommandBar*>(control()); }
    std::shared_ptr<CommandBar> sharedBar() const {
        CommandBar* b = bar();
        if (!b || b->isDeleted()) return nullptr;
        return std::static_pointer_cast<CommandBar>(b->weak_from_this().lock());
    }
    CommandBars* bars() const {
        CommandBar* b = bar();
        return b && !b->isDeleted() ? b->commandBars() : nullptr;
    }

    void flush() override {
        CommandBar* b = bar();
        CommandBars* owner = bars();
        if (!b || !owner) return;
        std::map<const CommandBarControl*, bool> present;
        for (const auto& c : b->Controls()) {
            if (c->Type() == cbcCustom) continue;  // its hosted window is a control of its own
            present[c.get()] = true;
            auto& slot = m_buttons[c.get()];
            if (!slot || !slot->control()) {
                if (slot) {
                    slot->hide();
                    slot->setObjectName(QString());
                    slot->deleteLater();
                }
                slot = new BarButton(*this, c, widget());
            }
            slot->sync(*owner, *b);
        }
        // Buttons of controls that went away are hidden and deleted later:
        // the press that removed them may still be running in one of them.
        for (auto it = m_buttons.begin(); it != m_buttons.end();) {
            if (present.count(it->first) && it->second) {
                ++it;
                continue;
            }
            if (it->second) {
                it->second->hide();
                it->second->setObjectName(QString());  // no longer found by its command
                it->second->deleteLater();
            }
            it = m_buttons.erase(it);
        }
        widget()->update();
    }

    void paintSeparators(QPainter& p) {
        CommandBar* b = bar();
        if (!b) return;
        const bool vertical = b->Position() == cbpLeft || b->Position() == cbpRight;
        std::vector<Rect> shown;
        for (const auto& c : b->Controls())
            if (c->Visible() && !c->bounds().isEmpty()) shown.push_back(c->bounds());
        for (const auto& c : b->Controls()) {
            const Rect r = c->bounds();
            if (!c->BeginGroup() || !c->Visible() || r.isEmpty()) continue;
            // Only between two controls of one row.
            bool before = false;
            for (const Rect& o : shown)
                before = before || (vertical ? (o.bottom <= r.top && o.left < r.right && o.right > r.left)
                                             : (o.right <= r.left && o.top < r.bottom && o.bottom > r.top));
            if (!before) continue;
            QStyleOption opt;
            opt.initFrom(widget());
            const int s = CommandBarMetrics::separator;
            if (vertical) {
                opt.rect = QRect(r.left, r.top - s, static_cast<int>(r.width()), s);
            } else {
                opt.rect = QRect(r.left - s, r.top, s, static_cast<int>(r.height()));
                opt.state |= QStyle::State_Horizontal;
            }
            widget()->style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &opt, &p, widget());
        }
    }

    void showContextMenu(QPoint global) {
        auto b = sharedBar();
        CommandBars* owner = bars();
        if (!b || !owner) return;
        mirror().setMenuAnchor(global);
        const QPoint local = widget()->mapFromGlobal(global);
        resumeNext([&] { owner->ShowContextMenu(b, local.x(), local.y()); });
    }

protected:
    void applyOther(Change) override { mirror().scheduleFlush(this); }
    void applyColors() override { mirror().scheduleFlush(this); }

private:
    std::map<const CommandBarControl*, QPointer<BarButton>> m_buttons;
};

void BarWidget::paintEvent(QPaintEvent* e) {
    QToolBar::paintEvent(e);
    QPainter p(this);
    m_peer.paintSeparators(p);
}

void BarWidget::contextMenuEvent(QContextMenuEvent* e) {
    e->accept();
    m_peer.showContextMenu(e->globalPos());
}

BarButton::BarButton(CommandBarPeer& peer, std::shared_ptr<CommandBarControl> c, QWidget* parent)
    : QToolButton(parent), m_peer(peer), m_control(c) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] { clickedByOperator(); });
    show();
}

void BarButton::sync(const CommandBars& bars, const CommandBar& bar) {
    auto c = control();
    if (!c) return;
    const Rect r = c->bounds();
    setGeometry(r.left, r.top, static_cast<int>(r.width()), static_cast<int>(r.height()));
    // Hosts and their tests find a command's button by its identifier:
    // findChild<QWidget*>("202") is Start.
    setObjectName(QString::number(c->Id()));
    setText(toQString(c->Caption()));
    setToolTip(toQString(c->ToolTipText().empty() ? displayCaption(c->Caption()) : c->ToolTipText()));
    // Read aloud without the mnemonic's '&'; the tooltip says more. Set
    // only on a change: Qt announces every setting as a new name.
    const QString name = toQString(displayCaption(c->Caption()));
    if (accessibleName() != name) setAccessibleName(name);
    const QString description = c->ToolTipText().empty() ? QString() : toQString(c->ToolTipText());
    if (accessibleDescription() != description) setAccessibleDescription(description);
    setToolButtonStyle(faceOf(bar, *c));
    setIconSize(QSize(bar.IconWidth(), bar.IconHeight()));
    setIcon(iconFor(bars, bar, *c));
    setEnabled(c->Enabled());
    const bool wasChecked = isChecked();
    setCheckable(c->Checked());
    setChecked(c->Checked());
    if (wasChecked && !isChecked()) {
        // Qt clears the check silently when the face stops being checkable.
        QAccessible::State s;
        s.checked = true;
        announceStateChange(this, s);
    }
    const std::int32_t type = c->Type();
    if (type == cbcSplitButtonPopup) {
        setMenu(&m_arrowMenu);
        setPopupMode(QToolButton::MenuButtonPopup);
    } else if (type == cbcPopup || type == cbcButtonPopup) {
        setMenu(&m_arrowMenu);
        setPopupMode(QToolButton::InstantPopup);
    } else {
        setMenu(nullptr);
        setPopupMode(QToolButton::DelayedPopup);
    }
    setVisible(c->Visible() && !r.isEmpty());
}

void BarButton::mousePressEvent(QMouseEvent* e) {
    auto c = control();
    if (c && e->button() == Qt::LeftButton && isEnabled()) {
        bool menuPart = c->Type() == cbcPopup || c->Type() == cbcButtonPopup;
        if (c->Type() == cbcSplitButtonPopup) {
            QStyleOptionToolButton opt;
            initStyleOption(&opt);
            menuPart = style()->subControlRect(QStyle::CC_ToolButton, &opt, QStyle::SC_ToolButtonMenu, this)
                           .contains(e->position().toPoint());
        }
        if (menuPart) {
            e->accept();
            openMenu();
            return;
        }
    }
    QToolButton::mousePressEvent(e);
}

void BarButton::openMenu() {
    auto c = control();
    if (!c || !c->CommandBar()) return;
    QPointer<BarButton> self = this;
    setDown(true);
    if (QtPresenter* p = m_peer.mirror().presenter()) {
        p->setAnchor(mapToGlobal(rect().bottomLeft()));
        if (CommandBars* bars = m_peer.bars()) p->setMenuIcons(bars->Icons());
    }
    // The component raises InitCommandsPopup, shows the menu through the
    // presenter and executes the choice, as for a script's ShowPopup.
    const QPoint at = mapTo(window(), rect().bottomLeft());
    resumeNext([&] { c->CommandBar()->ShowPopup(0, at.x(), at.y()); });
    if (self) setDown(false);
}

void BarButton::clickedByOperator() {
    auto c = control();
    if (!c) return;
    QPointer<BarButton> self = this;
    resumeNext([&] { c->Execute(); });
    // A checkable face toggles itself; the control's state is what counts.
    if (self) {
        setChecked(c->Checked() && !c->isDeleted());
        m_peer.mirror().scheduleFlush(&m_peer);
    }
}

// The component itself: a panel in the dock colour that owns the window's
// shortcuts for the key bindings.
class CommandBarsPeer : public QtPeer {
public:
    CommandBarsPeer(QtMirror& m, CommandBars& bars, PaintedWidget* w) : QtPeer(m, bars, w) {
        w->painter = [this](QPainter& p) {
            if (auto* b = static_cast<CommandBars*>(control()))
                p.fillRect(widget()->rect(), oleToQColor(b->SpecialColor(cbcolDockFace)));
        };
        // A layout can move controls without any bar changing its
        // rectangle; the bars' own event says when to look again.
        m_resized = bars.Resize.connect([this] { refreshBars(); });
        m.scheduleFlush(this);
        m.addKeyOwner(this);
    }
    ~CommandBarsPeer() override {
        mirror().removeKeyOwner(this);
        m_resized.disconnect();
        for (auto& s : m_shortcuts) delete s.data();
    }

    void flush() override { syncShortcuts(); }

protected:
    void applyOther(Change) override { refreshBars(); }
    void applyColors() override { refreshBars(); }

private:
    void refreshBars() {
        auto* bars = static_cast<CommandBars*>(control());
        if (!bars) return;
        mirror().scheduleFlush(this);
        for (const auto& child : bars->Children())
            if (QtPeer* p = mirror().peerFor(*child)) mirror().scheduleFlush(p);
        widget()->update();
    }

    void syncShortcuts() {
        auto* bars = static_cast<CommandBars*>(control());
        if (!bars) return;
        std::vector<std::pair<std::int32_t, std::int32_t>> now;  // key, modifiers
        for (std::int32_t i = 1; i <= bars->KeyBindings().Count(); ++i) {
            const KeyBinding k = bars->KeyBindings().Item(i);
            std::pair<std::int32_t, std::int32_t> entry{k.key, k.fVirt & (FSHIFT | FCONTROL | FALT)};
            // The component lets the latest binding of a key win; Qt would
            // call two shortcuts of one sequence ambiguous, so one is made.
            if (std::find(now.begin(), now.end(), entry) == now.end()) now.push_back(entry);
        }
        if (now == m_bound) return;
        for (auto& s : m_shortcuts) delete s.data();
        m_shortcuts.clear();
        m_bound = now;
        for (const auto& [key, mods] : now) {
            const QKeySequence seq = keySequenceFor(key, mods);
            if (seq.isEmpty()) continue;
            auto* s = new QShortcut(seq, widget(), nullptr, nullptr, Qt::WindowShortcut);
            QObject::connect(s, &QShortcut::activated, s, [this, key = key, mods = mods] {
                auto* b = static_cast<CommandBars*>(control());
                if (b) resumeNext([&] { b->pressKey(key, mods); });
            });
            m_shortcuts.push_back(s);
        }
    }

    Connection m_resized;
    std::vector<std::pair<std::int32_t, std::int32_t>> m_bound;
    std::vector<QPointer<QShortcut>> m_shortcuts;
};

}  // namespace

std::unique_ptr<QtPeer> makeCommandBarsPeer(QtMirror& mirror, CommandBars& bars, QWidget* parent) {
    return std::make_unique<CommandBarsPeer>(mirror, bars, new PaintedWidget(parent));
}

std::unique_ptr<QtPeer> makeCommandBarPeer(QtMirror& mirror, CommandBar& bar, QWidget* parent) {
    return std::make_unique<CommandBarPeer>(mirror, bar, parent);
}

}  // namespace tavixTGCL2::qt
