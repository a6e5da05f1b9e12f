#pragma once

#include "formdescription.h"
#include "tablerow.h"

#include <QHeaderView>
#include <QTableWidget>

#include <span>
#include <vector>

namespace runetally {

class FormEvents;

// A report list: rows of cells under column captions, one whole row selected at a time. The
// window's commands fill, sort and select it; the table itself only shows what it is given and
// tells the window's events what the player did (another row, a caption to sort by, Ctrl+C),
// never sorting on its own. Its window tells the commands of Ctrl+C.
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

private:
    ControlId id_;
    FormEvents& events_;
    std::vector<Qt::Alignment> alignments_; // by column
    QHeaderView* sortHeader_ = nullptr;     // a sortable table's captions, which take the focus
};

} // namespace runetally
