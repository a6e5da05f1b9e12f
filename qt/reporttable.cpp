#include "reporttable.h"

#include "formsurface.h"
#include "formwidgets.h"

#include <QAccessible>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace runetally {

namespace {

// The column captions of a table whose commands sort it. They take the focus, before the rows:
// Left and Right move between the captions, and Enter or Space sorts by the one with the focus,
// as a click on it does.
class SortHeader : public QHeaderView {
public:
    explicit SortHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setFocusPolicy(Qt::StrongFocus);
        setSectionsClickable(true);
        setSortIndicatorShown(true);
        setHighlightSections(false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
        case Qt::Key_Left:
            return moveTo(current_ - 1);
        case Qt::Key_Right:
            return moveTo(current_ + 1);
        case Qt::Key_Home:
            return moveTo(0);
        case Qt::Key_End:
            return moveTo(count() - 1);
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
                emit sectionClicked(current_);
                return;
            }
            break;
        default:
            break;
        }
        QHeaderView::keyPressEvent(event);
    }

    void focusInEvent(QFocusEvent* event) override {
        QHeaderView::focusInEvent(event);
        moveTo(current_);
    }

    void focusOutEvent(QFocusEvent* event) override {
        QHeaderView::focusOutEvent(event);
        viewport()->update();
    }

    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        if (hasFocus() && logicalIndex == current_) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = rect.adjusted(2, 2, -2, -2);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
        }
    }

private:
    void moveTo(int section) {
        if (count() == 0) {
            return;
        }
        current_ = std::clamp(section, 0, count() - 1);
        // A screen reader hears the caption that has the focus.
        const QString caption = model()->headerData(current_, Qt::Horizontal).toString();
        setAccessibleDescription(caption);
        QAccessibleEvent described(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
        viewport()->update();
    }

    int current_ = 0;
};

} // namespace

ReportTable::ReportTable(QWidget* parent, const WidgetDesc& desc, FormEvents& events)
    : QTableWidget(parent), id_(desc.id), events_(events) {
    if (desc.sortable) {
        sortHeader_ = new SortHeader(this);
        setHorizontalHeader(sortHeader_);
        connect(sortHeader_, &QHeaderView::sectionClicked, this,
                [this](int column) { events_.sortAsked(id_, column); });
    }
    setColumns(desc.columns);
    horizontalHeader()->setStretchLastSection(true); // a wider table widens its last column
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(false); // Tab leaves the table, as it leaves every other widget
    setSortingEnabled(false);
    connect(this, &QTableWidget::itemSelectionChanged, this, [this] { events_.changed(id_); });
}

void ReportTable::setColumns(std::span<const ColumnDesc> columns) {
    const QSignalBlocker quiet(this); // the commands asked for it: nothing to tell them
    setRowCount(0);
    setColumnCount(static_cast<int>(columns.size()));
    alignments_.clear();
    for (int i = 0; i < columnCount(); ++i) {
        const ColumnDesc& column = columns[static_cast<std::size_t>(i)];
        alignments_.push_back((column.alignRight ? Qt::AlignRight : Qt::AlignLeft) |
                              Qt::AlignVCenter);
        auto* caption = new QTableWidgetItem(ToQString(column.caption));
        caption->setTextAlignment(alignments_.back());
        setHorizontalHeaderItem(i, caption);
        setColumnWidth(i, ToPixels({0, 0, column.width, 0}).width());
    }
}

void ReportTable::setRows(std::span<const TableRow> rows) {
    const QSignalBlocker quiet(this); // the commands asked for it: nothing to tell them
    const int current = currentColumn();
    clearContents();
    setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rowCount(); ++r) {
        const TableRow& row = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < columnCount() && c < static_cast<int>(row.cells.size()); ++c) {
            auto* item = new QTableWidgetItem(ToQString(row.cells[static_cast<std::size_t>(c)]));
            item->setTextAlignment(alignments_[static_cast<std::size_t>(c)]);
            if (!row.note.empty()) {
                item->setToolTip(ToQString(row.note));
            }
            if (!row.note.empty() && c == 0) {
                QFont bold = font();
                bold.setBold(true);
                item->setFont(bold);
                item->setData(Qt::AccessibleTextRole,
                              item->text() + QStringLiteral(", ") + ToQString(row.note));
            }
            setItem(r, c, item);
        }
    }
    if (current >= 0 && rowCount() > 0) {
        setCurrentCell(0, current, QItemSelectionModel::NoUpdate);
    }
}

void ReportTable::setSortMark(int column, bool descending) {
    horizontalHeader()->setSortIndicator(column,
                                         descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

QWidget* ReportTable::firstStop() {
    return sortHeader_ != nullptr ? static_cast<QWidget*>(sortHeader_) : this;
}

} // namespace runetally
