// The host kit's item editor (the DUT information rows) as a two-column
// QTableWidget: names on the left, values on the right. The operator edits a
// value in place; the edit is the editor's editValue, so ItemChange reaches
// the host as from the headless editor, and a refused edit (read-only,
// disabled) puts the control's value back into the cell.
#include <QHeaderView>
#include <QTableWidget>

#include "QtConvert.h"
#include "QtMirror.h"
#include "QtPeerKinds.h"
#include "views/XItemCollEdit.h"

namespace tavixTGCL2::qt {

namespace {

class ItemEditPeer final : public QtPeer {
public:
    ItemEditPeer(QtMirror& m, XItemCollEdit& e, QTableWidget* w) : QtPeer(m, e, w), m_table(w) {
        w->setColumnCount(2);
        // The rows are the whole content; the editor has no captions of its own.
        w->horizontalHeader()->hide();
        w->verticalHeader()->hide();
        w->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        w->horizontalHeader()->setStretchLastSection(true);
        w->setSelectionMode(QAbstractItemView::SingleSelection);
        w->setWordWrap(false);
        w->setFrameShape(QFrame::NoFrame);
        QObject::connect(w, &QTableWidget::itemChanged, w, [this](QTableWidgetItem* item) { edited(item); });
    }
    bool reportsClicks() const override { return true; }
    bool ownsKeys() const override { return true; }

protected:
    void applyOther(Change what) override {
        if (what != Change::All && what != Change::Items && what != Change::ReadOnly) return;
        auto* e = static_cast<XItemCollEdit*>(control());
        const auto& rows = e->Items();
        // Cells are updated in place: an edit being committed still holds
        // its item while the host reacts to ItemChange.
        m_table->setRowCount(static_cast<int>(rows.size()));
        // A disabled editor's widget is disabled as a whole.
        const bool editable = !e->ReadOnly();
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            setCell(r, 0, rows[static_cast<std::size_t>(r)].Name, Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            Qt::ItemFlags valueFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (editable) valueFlags |= Qt::ItemIsEditable;
            setCell(r, 1, rows[static_cast<std::size_t>(r)].Value, valueFlags);
        }
        m_table->setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                                QAbstractItemView::SelectedClicked
                                          : QAbstractItemView::NoEditTriggers);
    }

private:
    void setCell(int row, int column, const std::string& text, Qt::ItemFlags flags) {
        QTableWidgetItem* item = m_table->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            m_table->setItem(row, column, item);
        }
        const QString t = toQString(text);
        if (item->text() != t) item->setText(t);
        if (item->flags() != flags) item->setFlags(flags);
    }

    void edited(QTableWidgetItem* item) {
        if (syncing() || !item || item->column() != 1) return;
        auto* e = static_cast<XItemCollEdit*>(control());
        if (!e) return;
        auto keep = e->weak_from_this().lock();
        // The peer goes with its widget: if a handler of ItemChange took the
        // editor down, nothing of this peer is touched afterwards.
        QPointer<QTableWidget> alive = m_table;
        const int row = item->row();
        const std::string value = toStdString(item->text());
        resumeNext([&] { e->editValue(static_cast<std::size_t>(row), value); });
        // Refused, or the host changed the rows meanwhile: the cells show
        // what the control holds.
        if (alive && control()) apply(Change::Items);
    }

    QTableWidget* m_table;
};

}  // namespace

std::unique_ptr<QtPeer> makeItemEditPeer(QtMirror& mirror, XItemCollEdit& editor, QWidget* parent) {
    auto* w = made<QTableWidget>(parent);
    return std::make_unique<ItemEditPeer>(mirror, editor, w);
}

}  // namespace tavixTGCL2::qt
