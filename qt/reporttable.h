#pragma once

#include "formdescription.h"
#include "tablerow.h"

#include <QHeaderView>
#include <QTableWidget>

#include <span>
#include <vector>

namespace runetally {

class FormEvents;

// The column captions of a table whose commands sort it. They take the focus, before the rows:
// Left and Right move between the captions, and Enter or Space sorts by the one with the focus,
// as a click on it does.
class SortHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit SortHeader(QWidget* parent);

    int current() const { return current_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    void moveTo(int section);

    int current_ = 0;
};

// A report list: rows of cells under column captions, one whole row selected at a time. The
// window's commands fill, sort and select it; the table itself only shows what it is given and
// tells the window's events what the player did (another row, a caption to sort by, Ctrl+C),
// never sorting on its own.
class ReportTable : public QTableWidget {
    Q_OBJECT

public:
    ReportTable(QWidget* parent, const WidgetDesc& desc, FormEvents& events);

    // The table shows these columns, with no rows until it is given them.
    void setColumns(std::span<const ColumnDesc> columns);
    void setRows(std::span<const TableRow> rows);
    void setSortMark(int column, bool descending);

    // The first of the table's focus stops: its captions when they sort, else its rows.
    QWidget* firstStop();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ControlId id_;
    FormEvents& events_;
    std::vector<Qt::Alignment> alignments_; // by column
    SortHeader* sortHeader_ = nullptr;
};

} // namespace runetally
