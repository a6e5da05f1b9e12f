#pragma once

#include "formpage.h"
#include "plannercommands.h"

namespace runetally::web {

// The spell planner drawn into the page: tables as ARIA grids, the chart as SVG.
class frmPlanner : public PlannerView {
public:
    frmPlanner();

    PlannerCommands& commands() { return commands_; }

    void activate();
    void close();

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

private:
    PlannerCommands commands_{*this};
    FormPage form_;
};

} // namespace runetally::web
