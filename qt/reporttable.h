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

    // Once, from the first rows after the columns are set: how many pixels more the table needs
    // to show every column at its full width; 0 when it has them, and after.
    int takeShortfall();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Sizes the columns to their content in the room there is, and writes each cell as it fits
    // its column (cellfit.h); a shortened cell carries its whole text in its tip.
    void fit();
    // The room for the columns: the frame's inside, less a vertical scroll bar's width.
    int room() const;

    ControlId id_;
    FormEvents& events_;
    std::vector<TableRow> rows_;            // as given, every digit
    std::vector<int> wanted_;               // by column: its widest caption or cell
    bool fresh_ = true;                     // no rows since the columns were set
    std::vector<Qt::Alignment> alignments_; // by column
    QHeaderView* sortHeader_ = nullptr;     // a sortable table's captions, which take the focus
};

} // namespace runetally
