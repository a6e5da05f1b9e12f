#pragma once

#include "formwindow.h"
#include "plannercommands.h"

namespace runetally::win32 {

// The spell planner drawn with the system's own controls: a window of its own, without an owner
// and with a taskbar button, whose tables and chart take the room when it is made larger.
class frmPlanner final : public FormWindow, public PlannerView {
public:
    frmPlanner();

    PlannerCommands& commands() { return commands_; }
    HWND control(PlannerControl id) const { return controls().get(id); }

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
    void showMessage(std::string_view text) override;
    void unload() override;
    void setColumns(PlannerControl table, std::span<const ColumnDesc> columns) override;
    void setShown(PlannerControl control, bool shown) override;
    std::optional<std::string> chooseCharacterToOpen() override;

private:
    ~frmPlanner() override = default;
    void clicked(ControlId id) override;
    void changed(ControlId id) override;
    void sortRequested(ControlId table, int column) override;
    bool copying(ControlId id) override;
    void resized(ControlId chart) override;
    void unloaded() override;

    PlannerCommands commands_{*this};
    bool quiet_ = false; // the commands fill or select a table: it tells them nothing back
};

// The program's one spell planner.
FormInstance<frmPlanner>& PlannerForm();

} // namespace runetally::win32
