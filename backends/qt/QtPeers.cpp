// The peers of the container's primitive controls and of the drawn ones.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionGroupBox>
#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QTabBar>

#include "QtAccessible.h"
#include "QtConvert.h"
#include "QtMirror.h"
#include "QtPeerKinds.h"
#include "views/XItemCollEdit.h"
#include "views/XRichEdit.h"
#include "platform/CommandBars.h"
#include "platform/Form.h"
#include "platform/PictureBox.h"
#include "platform/StandardControls.h"
#include "platform/WebBrowser.h"

namespace tavixTGCL2::qt {

PaintedWidget::PaintedWidget(QWidget* parent) : QWidget(parent) { setDrawnObject(this, true); }

PaintedWidget::~PaintedWidget() { setDrawnObject(this, false); }

void PaintedWidget::paintEvent(QPaintEvent*) {
    if (!painter) return;
    QPainter p(this);
    painter(p);
}

void paintPanel(QPainter& p, const Control& c, const QRect& r, bool fill) {
    if (fill)
        if (QColor back = oleToQColor(c.BackColor()); back.isValid()) p.fillRect(r, back);
    const int border = c.borderPixels();
    if (border == 1) {
        p.setPen(oleToQColor(0x80000006));  // window frame
        p.drawRect(r.adjusted(0, 0, -1, -1));
    } else if (border >= 2) {
        // Sunken, as a 3-D border is drawn: shadow outside, dark shadow inside.
        const QRect o = r.adjusted(0, 0, -1, -1);
        const QRect i = o.adjusted(1, 1, -1, -1);
        auto edge = [&](const QRect& q, OleColor tl, OleColor br) {
            p.setPen(oleToQColor(tl));
            p.drawLine(q.topLeft(), q.topRight());
            p.drawLine(q.topLeft(), q.bottomLeft());
            p.setPen(oleToQColor(br));
            p.drawLine(q.bottomLeft(), q.bottomRight());
            p.drawLine(q.topRight(), q.bottomRight());
        };
        edge(o, 0x80000010, 0x80000014);
        edge(i, 0x80000015, 0x80000016);
    }
}

namespace {

// --- plain containers, forms ---------------------------------------------------

class PanelPeer : public QtPeer {
public:
    PanelPeer(QtMirror& m, Control& c, PaintedWidget* w) : QtPeer(m, c, w) {
        w->painter = [this](QPainter& p) {
            Control* ctl = control();
            if (!ctl) return;
            paintPanel(p, *ctl, widget()->rect());
            // A container's frame with a caption is a group box.
            if (ctl->ClassName() == "Frame" && !ctl->Caption().empty()) paintGroupBox(p, *ctl);
        };
    }

protected:
    void applyCaption() override { widget()->update(); }

private:
    void paintGroupBox(QPainter& p, const Control& c) {
        QStyleOptionGroupBox opt;
        opt.initFrom(widget());
        opt.text = toQString(c.Caption());
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        opt.textAlignment = Qt::AlignLeft;
        opt.textColor = widget()->palette().color(QPalette::WindowText);
        opt.lineWidth = 1;
        widget()->style()->drawComplexControl(QStyle::CC_GroupBox, &opt, &p, widget());
    }
};

class FormPeer : public PanelPeer {
public:
    using PanelPeer::PanelPeer;

protected:
    void applyCaption() override {
        if (Control* c = control(); c && widget()->isWindow()) widget()->setWindowTitle(toQString(c->Caption()));
    }
    void applyOther(Change what) override {
        if (what == Change::TopMost && widget()->isWindow()) {
            auto* form = static_cast<Form*>(control());
            const bool shown = widget()->isVisible();
            widget()->setWindowFlag(Qt::WindowStaysOnTopHint, form->topMost());
            if (shown) widget()->show();
        }
        PanelPeer::applyOther(what);
    }
};

// --- drawn controls -----------------------------------------------------------------

// A control with its own surface (a picture box, a tab): the surface is
// shown as the control drew it, inside the border.
class SurfacePeer : public QtPeer {
public:
    SurfacePeer(QtMirror& m, Control& c, DrawTarget& target, PaintedWidget* w) : QtPeer(m, c, w), m_target(target) {
        w->painter = [this](QPainter& p) {
            Control* ctl = control();
            if (!ctl) return;
            paintPanel(p, *ctl, widget()->rect());
            DC* dc = m_target.hDC();
            // A surface made before the screen's ratio changed is made
            // again first, so it is never shown enlarged.
            if (dc && dc->deviceScale() != Screen::devicePixelRatio()) {
                resumeNext([&] { m_target.deviceScaleChanged(); });
                dc = m_target.hDC();
            }
            if (dc && dc->surface()) {
                const int b = ctl->borderPixels();
                // Device pixels one to one: the image's ratio tells the
                // painter how many of them make a logical pixel.
                QImage image = wrapSurface(*dc->surface());
                image.setDevicePixelRatio(dc->deviceScale());
                p.drawImage(QPoint(b, b), image);
            }
        };
    }

private:
    DrawTarget& m_target;
};

// A control that paints itself over its parent: pixels it leaves alone
// stay see-through.
class OverlayPeer : public QtPeer {
public:
    OverlayPeer(QtMirror& m, Control& c, PaintsOnParent& self, PaintedWidget* w) : QtPeer(m, c, w), m_self(self) {
        w->painter = [this](QPainter& p) {
            const QSize size = widget()->size();
            if (size.isEmpty()) return;
            // Painted at the widget's own device pixel ratio, not enlarged.
            const double ratio = widget()->devicePixelRatioF();
            Surface s(Screen::toDevice(size.width(), ratio), Screen::toDevice(size.height(), ratio), 0x00000000u);
            DC dc(&s);
            dc.setDeviceScale(ratio);
            resumeNext([&] { m_self.paintOnParent(dc, 0, 0); });
            QImage image = alphaImage(s);
            image.setDevicePixelRatio(ratio);
            p.drawImage(QPoint(0, 0), image);
        };
    }

private:
    PaintsOnParent& m_self;
};

class ShapePeer : public QtPeer {
public:
    ShapePeer(QtMirror& m, Shape& s, PaintedWidget* w) : QtPeer(m, s, w) {
        // Shapes are decoration: presses fall through to what is below.
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        w->painter = [this](QPainter& p) {
            auto* shape = static_cast<Shape*>(control());
            if (shape) paintShape(p, *shape);
        };
    }

private:
    void paintShape(QPainter& p, const Shape& s) {
        QRectF r = widget()->rect();
        const int kind = s.ShapeKind();
        if (kind == 1 || kind == 3 || kind == 5) {  // square kinds keep the shorter side, centred
            const double side = std::min(r.width(), r.height());
            r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
        }
        const double bw = s.BorderVisible() ? std::max(1, s.borderPixels()) : 0;
        p.setRenderHint(QPainter::Antialiasing, kind >= 2);
        p.setBrush(s.FillSolid() ? QBrush(oleToQColor(s.FillColor())) : QBrush(Qt::NoBrush));
        if (bw > 0) {
            QPen pen(oleToQColor(s.BorderColor()), bw);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            r.adjust(bw / 2, bw / 2, -bw / 2, -bw / 2);
        } else {
            p.setPen(Qt::NoPen);
        }
        if (kind == 2 || kind == 3) p.drawEllipse(r);
        else if (kind == 4 || kind == 5) p.drawRoundedRect(r, r.width() / 10, r.height() / 10);
        else p.drawRect(r);
    }
};

// --- natural widgets --------------------------------------------------------------

class LabelPeer : public QtPeer {
public:
    LabelPeer(QtMirror& m, Label& l, QLabel* w) : QtPeer(m, l, w), m_label(w) {
        w->setTextFormat(Qt::PlainText);
        w->setFocusPolicy(Qt::NoFocus);
        // Roles of its own: inside a tool bar a widget would otherwise take
        // the button roles and draw in the button text colour.
        w->setBackgroundRole(QPalette::Window);
        w->setForegroundRole(QPalette::WindowText);
    }

protected:
    void applyCaption() override { m_label->setText(toQString(control()->Caption())); }
    void applyColors() override {
        auto* l = static_cast<Label*>(control());
        QPalette pal = m_label->palette();
        pal.setColor(QPalette::Window, oleToQColor(l->BackColor()));
        if (!isSystemColor(l->ForeColor())) pal.setColor(QPalette::WindowText, oleToQColor(l->ForeColor()));
        m_label->setPalette(pal);
        m_label->setAutoFillBackground(!l->BackStyleTransparent());
    }
    void applyOther(Change what) override {
        auto* l = static_cast<Label*>(control());
        if (what == Change::All || what == Change::WordWrap || what == Change::AutoSize) m_label->setWordWrap(l->WordWrap() || l->AutoSize());
        if (what == Change::All || what == Change::Alignment) {
            Qt::Alignment h = l->Alignment() == 1 ? Qt::AlignRight : l->Alignment() == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
            m_label->setAlignment(h | Qt::AlignTop);
        }
        if (what == Change::All || what == Change::BackStyle) applyColors();
    }

private:
    QLabel* m_label;
};

class TextBoxPeer : public QtPeer {
public:
    TextBoxPeer(QtMirror& m, TextBox& t, QWidget* w) : QtPeer(m, t, w) {
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            QObject::connect(line, &QLineEdit::textEdited, line, [this](const QString& s) { typed(s); });
        } else if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
            QObject::connect(text, &QPlainTextEdit::textChanged, text, [this, text] {
                if (!syncing()) typed(text->toPlainText());
            });
        }
    }
    bool ownsKeys() const override { return true; }

protected:
    void applyOther(Change what) override {
        auto* t = static_cast<TextBox*>(control());
        const QString text = toQString(t->Text());
        if (auto* line = qobject_cast<QLineEdit*>(widget())) {
            if (line->text() != text) line->setText(text);
            line->setReadOnly(t->Locked());
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget())) {
            if (edit->toPlainText() != text) edit->setPlainText(text);
            edit->setReadOnly(t->Locked());
        }
        (void)what;
    }

private:
    void typed(const QString& s) {
        auto* t = static_cast<TextBox*>(control());
        if (!t) return;
        QPointer<QWidget> alive = widget();
        bool taken = true;
        resumeNext([&] { taken = t->typeText(toStdString(s)); });
        // Refused while locked or disabled: the widget shows the text again.
        if (!taken && alive) apply(Change::Text);
    }
};

class CommandButtonPeer : public QtPeer {
public:
    CommandButtonPeer(QtMirror& m, CommandButton& b, QPushButton* w) : QtPeer(m, b, w), m_button(w) {
        w->setAutoDefault(false);
        QObject::connect(w, &QPushButton::clicked, w, [this] {
            if (Control* c = control()) resumeNext([&] { c->doClick(); });
        });
    }
    bool reportsClicks() const override { return true; }

protected:
    void applyCaption() override { m_button->setText(toQString(control()->Caption())); }
    void applyOther(Change) override {
        m_button->setDefault(static_cast<CommandButton*>(control())->Default());
    }

private:
    QPushButton* m_button;
};

// Option buttons and check boxes: the control decides the value (groups,
// three states); the widget only reports the press and shows the result.
template <class Ctl, class W>
class ToggleButtonPeer : public QtPeer {
public:
    ToggleButtonPeer(QtMirror& m, Ctl& c, W* w) : QtPeer(m, c, w), m_button(w) {
        if constexpr (std::is_same_v<W, QRadioButton>) w->setAutoExclusive(false);
        QObject::connect(w, &QAbstractButton::clicked, w, [this, w] {
            // The peer goes with its widget: a handler that took the form
            // down leaves nothing to update.
            QPointer<QWidget> alive = w;
            if (Control* ctl = control()) resumeNext([&] { ctl->doClick(); });
            if (alive) apply(Change::Value);
        });
    }
    bool reportsClicks() const override { return true; }

protected:
    void applyCaption() override { m_button->setText(toQString(control()->Caption())); }
    void applyOther(Change) override {
        auto* c = static_cast<Ctl*>(control());
        if constexpr (std::is_same_v<W, QCheckBox>) {
            m_button->setTristate(c->Value() == 2);
            m_button->setCheckState(c->Value() == 1 ? Qt::Checked : c->Value() == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
        } else {
            m_button->setChecked(c->Value());
        }
    }

private:
    W* m_button;
};

class ComboBoxPeer : public QtPeer {
public:
    ComboBoxPeer(QtMirror& m, ComboBox& c, QComboBox* w) : QtPeer(m, c, w), m_combo(w) {
        QObject::connect(w, &QComboBox::activated, w, [this, w](int index) {
            QPointer<QWidget> alive = w;
            if (auto* c = static_cast<ComboBox*>(control())) resumeNext([&] { c->setListIndex(index); });
            if (alive) apply(Change::ListIndex);
        });
    }
    bool reportsClicks() const override { return true; }

protected:
    void applyOther(Change) override {
        auto* c = static_cast<ComboBox*>(control());
        QStringList items;
        for (std::int32_t i = 0; i < c->ListCount(); ++i) items << toQString(c->List(i));
        QStringList shown;
        for (int i = 0; i < m_combo->count(); ++i) shown << m_combo->itemText(i);
        if (shown != items) {
            m_combo->clear();
            m_combo->addItems(items);
        }
        m_combo->setCurrentIndex(c->ListIndex());
    }

private:
    QComboBox* m_combo;
};

class ListViewPeer : public QtPeer {
public:
    ListViewPeer(QtMirror& m, ListView& l, QListWidget* w) : QtPeer(m, l, w), m_list(w) {
        QObject::connect(w, &QListWidget::itemClicked, w, [this](QListWidgetItem* item) {
            auto* l = static_cast<ListView*>(control());
            if (l && item) resumeNext([&] { l->clickItem(m_list->row(item) + 1); });
        });
    }
    bool reportsClicks() const override { return true; }

protected:
    void applyOther(Change) override {
        auto* l = static_cast<ListView*>(control());
        m_list->setViewMode(l->View() == 0 ? QListView::IconMode : QListView::ListMode);
        QStringList items;
        for (std::int32_t i = 1; i <= l->count(); ++i) items << toQString(l->item(i).Text);
        bool same = m_list->count() == items.size();
        for (int i = 0; same && i < items.size(); ++i) same = m_list->item(i)->text() == items[i];
        if (!same) {
            m_icons.clear();
            m_list->clear();
            m_list->addItems(items);
        }
        for (std::int32_t i = 1; i <= l->count(); ++i) {
            QListWidgetItem* row = m_list->item(i - 1);
            row->setForeground(l->item(i).Ghosted ? m_list->palette().color(QPalette::Disabled, QPalette::Text)
                                                  : m_list->palette().color(QPalette::Text));
            // The picture the item names in the small image list (the
            // Customize dialog's command thumbnails, a host's state icons).
            PicturePtr pic = l->smallIconOf(i);
            if (pic != m_icons.value(row)) {
                row->setIcon(qIconOf(pic));
                m_icons.insert(row, pic);
            }
        }
        m_list->setCurrentRow(l->selectedIndex() - 1);
        if (l->topIndex() >= 1 && l->topIndex() <= l->count()) m_list->scrollToItem(m_list->item(l->topIndex() - 1));
    }

private:
    QListWidget* m_list;
    // What each row shows, so unchanged pictures are not converted again.
    QHash<QListWidgetItem*, PicturePtr> m_icons;
};

class TabControlPeer : public QtPeer {
public:
    TabControlPeer(QtMirror& m, TabControl& t, QTabBar* w) : QtPeer(m, t, w), m_tabs(w) {
        w->setDrawBase(true);
        w->setExpanding(false);
        QObject::connect(w, &QTabBar::tabBarClicked, w, [this, w](int index) {
            QPointer<QWidget> alive = w;
            auto* t = static_cast<TabControl*>(control());
            if (t && index >= 0) resumeNext([&] { t->setSelectedItem(index); });
            if (alive) apply(Change::SelectedItem);
        });
        // Whatever else turns the bar's page (the wheel) turns the control's.
        QObject::connect(w, &QTabBar::currentChanged, w, [this](int index) {
            auto* t = static_cast<TabControl*>(control());
            if (syncing() || !t || index < 0 || index == t->selectedItem()) return;
            resumeNext([&] { t->setSelectedItem(index); });
        });
    }
    bool reportsClicks() const override { return true; }

protected:
    void applyOther(Change) override {
        auto* t = static_cast<TabControl*>(control());
        while (m_tabs->count() > t->itemCount()) m_tabs->removeTab(m_tabs->count() - 1);
        for (std::int32_t i = 0; i < t->itemCount(); ++i) {
            if (i >= m_tabs->count()) m_tabs->addTab(QString());
            m_tabs->setTabText(i, toQString(t->itemCaption(i)));
        }
        if (t->selectedItem() >= 0) m_tabs->setCurrentIndex(t->selectedItem());
    }

private:
    QTabBar* m_tabs;
};

}  // namespace

std::unique_ptr<QtPeer> makePeer(QtMirror& m, Control& c, QWidget* parent) {
    // The most specific kind first: a command bar is a control and a
    // status bar is a picture box.
    if (auto* bars = dynamic_cast<CommandBars*>(&c)) return makeCommandBarsPeer(m, *bars, parent);
    if (auto* bar = dynamic_cast<CommandBar*>(&c)) return makeCommandBarPeer(m, *bar, parent);
    if (auto* browser = dynamic_cast<WebBrowser*>(&c)) return makeBrowserPeer(m, *browser, parent);
    if (auto* rich = dynamic_cast<XRichEdit*>(&c)) return makeRichEditPeer(m, *rich, parent);
    if (auto* items = dynamic_cast<XItemCollEdit*>(&c)) return makeItemEditPeer(m, *items, parent);
    if (auto* self = dynamic_cast<PaintsOnParent*>(&c)) return std::make_unique<OverlayPeer>(m, c, *self, made<PaintedWidget>(parent));
    if (auto* target = dynamic_cast<DrawTarget*>(&c)) return std::make_unique<SurfacePeer>(m, c, *target, made<PaintedWidget>(parent));
    if (auto* l = dynamic_cast<Label*>(&c)) return std::make_unique<LabelPeer>(m, *l, made<QLabel>(parent));
    if (auto* t = dynamic_cast<TextBox*>(&c)) {
        QWidget* w = t->MultiLine() ? static_cast<QWidget*>(made<QPlainTextEdit>(parent)) : made<QLineEdit>(parent);
        return std::make_unique<TextBoxPeer>(m, *t, w);
    }
    if (auto* s = dynamic_cast<Shape*>(&c)) return std::make_unique<ShapePeer>(m, *s, made<PaintedWidget>(parent));
    if (auto* b = dynamic_cast<CommandButton*>(&c)) return std::make_unique<CommandButtonPeer>(m, *b, made<QPushButton>(parent));
    if (auto* o = dynamic_cast<OptionButton*>(&c))
        return std::make_unique<ToggleButtonPeer<OptionButton, QRadioButton>>(m, *o, made<QRadioButton>(parent));
    if (auto* x = dynamic_cast<CheckBox*>(&c))
        return std::make_unique<ToggleButtonPeer<CheckBox, QCheckBox>>(m, *x, made<QCheckBox>(parent));
    if (auto* cb = dynamic_cast<ComboBox*>(&c)) return std::make_unique<ComboBoxPeer>(m, *cb, made<QComboBox>(parent));
    if (auto* lv = dynamic_cast<ListView*>(&c)) return std::make_unique<ListViewPeer>(m, *lv, made<QListWidget>(parent));
    if (auto* tc = dynamic_cast<TabControl*>(&c)) return std::make_unique<TabControlPeer>(m, *tc, made<QTabBar>(parent));
    if (dynamic_cast<Form*>(&c)) return std::make_unique<FormPeer>(m, c, made<PaintedWidget>(parent));
    return std::make_unique<PanelPeer>(m, c, made<PaintedWidget>(parent));
}

}  // namespace tavixTGCL2::qt
