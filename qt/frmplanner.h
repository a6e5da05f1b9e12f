#pragma once

#include "formwidgets.h"
#include "plannercommands.h"

#include <QWidget>

class QCloseEvent;

namespace runetally {

// The spell planner drawn by Qt: a window of its own, without an owner, whose tables and chart
// take the room when it is made larger.
class frmPlanner : public QWidget, public PlannerView {
    Q_OBJECT

public:
    frmPlanner();

    PlannerCommands& commands() { return commands_; }

    // What the window's one shared instance asks of it.
    void activate();
    using QWidget::close;

    // PlannerView
    std::string stepText() const override;
    int chosenInput() const override;
    void setStatus(std::string_view text) override;
    void setRows(PlannerControl table, std::span<const TableRow> rows) override;
    void setSortMark(PlannerControl table, int column, bool descending) override;
    void selectRow(PlannerControl table, int row) override;
    int selectedRow(PlannerControl table) const override;
    PointTwips chartSize() const override;
    void setChart(const ChartPicture& picture) override;
    void copyText(std::string_view text) override;
    void setColumns(PlannerControl table, std::span<const ColumnDesc> columns) override;
    void setShown(PlannerControl control, bool shown) override;
    std::optional<std::string> chooseCharacterToOpen() override;
    void showMessage(std::string_view text) override;
    void unload() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    PlannerCommands commands_{*this};
    FormWidgets<PlannerControl> widgets_;
};

// The program's one spell planner.
FormInstance<frmPlanner>& PlannerForm();

} // namespace runetally
