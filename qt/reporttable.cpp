#include "reporttable.h"

#include "cellfit.h"
#include "formsurface.h"
#include "formwidgets.h"

#include <QAccessible>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <numeric>

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
    setSortingEnabled(false);   // which also hides the sort mark: the commands sort, and say so
    if (sortHeader_ != nullptr) {
        sortHeader_->setSortIndicatorShown(true);
    }
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
    rows_.clear();
    fresh_ = true;
    fit();
}

void ReportTable::setRows(std::span<const TableRow> rows) {
    const QSignalBlocker quiet(this); // the commands asked for it: nothing to tell them
    const int current = currentColumn();
    clearContents();
    rows_.assign(rows.begin(), rows.end());
    setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rowCount(); ++r) {
        const TableRow& row = rows_[static_cast<std::size_t>(r)];
        for (int c = 0; c < columnCount() && c < static_cast<int>(row.cells.size()); ++c) {
            auto* item = new QTableWidgetItem(ToQString(row.cells[static_cast<std::size_t>(c)]));
            item->setTextAlignment(alignments_[static_cast<std::size_t>(c)]);
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
    fit();
    if (current >= 0 && rowCount() > 0) {
        setCurrentCell(0, current, QItemSelectionModel::NoUpdate);
    }
}

int ReportTable::room() const {
    return contentsRect().width() - verticalScrollBar()->sizeHint().width();
}

void ReportTable::fit() {
    const int columns = columnCount();
    QFont boldFont = font();
    boldFont.setBold(true);
    const QFontMetrics plain(font());
    const QFontMetrics bold(boldFont);
    // A cell's text stands inside a margin at each side, as the item delegate draws it.
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    // and the delegate elides a text that comes within a pixel or two of its room.
    const auto width = [&](const QFontMetrics& metrics, std::string_view text) {
        return metrics.horizontalAdvance(ToQString(text)) + margin + 4;
    };
    wanted_.assign(static_cast<std::size_t>(columns), 0);
    std::vector<int> least(static_cast<std::size_t>(columns), 0);
    // The caption always shows whole, and the sorted column's with room for its mark.
    const QHeaderView* header = horizontalHeader();
    const QFontMetrics captions(header->font());
    const int captionMargin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int c = 0; c < columns; ++c) {
        const QTableWidgetItem* caption = horizontalHeaderItem(c);
        int width = captions.horizontalAdvance(caption != nullptr ? caption->text() : QString()) +
                    captionMargin + 2;
        if (header->isSortIndicatorShown() && header->sortIndicatorSection() == c) {
            width += captions.height() + captionMargin;
        }
        wanted_[static_cast<std::size_t>(c)] = least[static_cast<std::size_t>(c)] = width;
    }
    for (const TableRow& row : rows_) {
        for (std::size_t c = 0; c < row.cells.size() && c < wanted_.size(); ++c) {
            const QFontMetrics& metrics = !row.note.empty() && c == 0 ? bold : plain;
            wanted_[c] = std::max(wanted_[c], width(metrics, row.cells[c]));
            least[c] = std::max(least[c], width(metrics, ShortestCell(row.cells[c])));
        }
    }
    const std::vector<int> widths = FitColumns(wanted_, least, room());
    for (int c = 0; c < columns; ++c) {
        setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    }
    for (int r = 0; r < rowCount(); ++r) {
        const TableRow& row = rows_[static_cast<std::size_t>(r)];
        for (int c = 0; c < columns && c < static_cast<int>(row.cells.size()); ++c) {
            const std::string& whole = row.cells[static_cast<std::size_t>(c)];
            const QFontMetrics& metrics = !row.note.empty() && c == 0 ? bold : plain;
            const std::string shown = FitCell(whole, [&](std::string_view text) {
                return width(metrics, text) <= widths[static_cast<std::size_t>(c)];
            });
            QTableWidgetItem* cell = item(r, c);
            cell->setText(ToQString(shown));
            // The tip carries every digit of a cell shortened, and the row's note.
            QStringList tip;
            if (shown != whole) {
                tip << ToQString(whole);
            }
            if (!row.note.empty()) {
                tip << ToQString(row.note);
            }
            cell->setToolTip(tip.join(QLatin1Char('\n')));
            if (!row.note.empty() && c == 0) {
                cell->setData(Qt::AccessibleTextRole,
                              ToQString(whole) + QStringLiteral(", ") + ToQString(row.note));
            } else if (shown != whole) {
                cell->setData(Qt::AccessibleTextRole, ToQString(whole));
            }
        }
    }
}

int ReportTable::takeShortfall() {
    if (!fresh_ || rows_.empty()) {
        return 0;
    }
    fresh_ = false;
    return std::max(0, std::accumulate(wanted_.begin(), wanted_.end(), 0) - room());
}

void ReportTable::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    fit();
}

void ReportTable::setSortMark(int column, bool descending) {
    horizontalHeader()->setSortIndicator(column,
                                         descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

QWidget* ReportTable::firstStop() {
    return sortHeader_ != nullptr ? static_cast<QWidget*>(sortHeader_) : this;
}

} // namespace runetally
