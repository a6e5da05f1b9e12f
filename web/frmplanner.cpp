#include "frmplanner.h"

#include "clipboard.h"
#include "dialogs.h"
#include "dom.h"
#include "frmmain.h"
#include "session.h"

namespace runetally::web {
namespace {

const FormDesc& Form() {
    return PlannerDescription();
}

// Beside the main window where the page has room for both, else below it.
FormPlace BesideMain() {
    FormPlace place{.left = 8, .top = 8, .role = "dialog"};
    if (frmMain* main = Session::Get().main().loaded()) {
        const Js window = main->page().element();
        const double right = window["offsetLeft"].as<double>() + window["offsetWidth"].as<double>();
        const double room = Document()["documentElement"]["clientWidth"].as<double>();
        if (right + 16 + static_cast<double>(Form().clientWidth) / kTwipsPerPixel < room) {
            place.left = right + 16;
            place.top = window["offsetTop"].as<double>();
        } else {
            place.top = window["offsetTop"].as<double>() +
                        window.call<Js>("getBoundingClientRect")["height"].as<double>() + 16;
        }
    }
    return place;
}

} // namespace

frmPlanner::frmPlanner()
    : form_(
          Form(),
          {.clicked =
               [this](ControlId id) {
                   Session::Get().run([this, id] { commands_.click(id.as<PlannerControl>()); });
               },
           .changed = [this](ControlId id) { commands_.change(id.as<PlannerControl>()); },
           .sortRequested = [this](ControlId id,
                                   int column) { commands_.sort(id.as<PlannerControl>(), column); },
           .copying = [this](ControlId id) { return commands_.copy(id.as<PlannerControl>()); },
           .resized = [this](ControlId) { commands_.picChart_Resize(); },
           .closing = [this] { unload(); }},
          BesideMain()) {}

void frmPlanner::activate() {
    form_.activate();
}

void frmPlanner::close() {
    Session::Get().planner().unloaded(this);
    Session::Get().deleteLater([this] { delete this; });
}

std::string frmPlanner::stepText() const {
    return form_.text(PlannerControl::txtStep);
}

int frmPlanner::chosenInput() const {
    return form_.chosenItem(PlannerControl::cboInput);
}

void frmPlanner::setStatus(std::string_view text) {
    form_.setLabel(PlannerControl::lblStatus, text);
}

void frmPlanner::setRows(PlannerControl table, std::span<const TableRow> rows) {
    form_.grid(table).setRows(rows);
}

void frmPlanner::setSortMark(PlannerControl table, int column, bool descending) {
    form_.grid(table).setSortMark(column, descending);
}

void frmPlanner::selectRow(PlannerControl table, int row) {
    form_.grid(table).selectRow(row);
}

int frmPlanner::selectedRow(PlannerControl table) const {
    return form_.grid(table).selectedRow();
}

PointTwips frmPlanner::chartSize() const {
    return form_.sizeOf(PlannerControl::picChart);
}

void frmPlanner::setChart(const ChartPicture& picture) {
    form_.setChart(PlannerControl::picChart, picture);
}

void frmPlanner::copyText(std::string_view text) {
    CopyText(text);
}

void frmPlanner::setColumns(PlannerControl table, std::span<const ColumnDesc> columns) {
    form_.grid(table).setColumns(columns);
}

void frmPlanner::setShown(PlannerControl control, bool shown) {
    form_.setShown(control, shown);
}

std::optional<std::string> frmPlanner::chooseCharacterToOpen() {
    return Session::Get().chooseFileToOpen();
}

void frmPlanner::showMessage(std::string_view text) {
    ShowMessage(text);
}

void frmPlanner::unload() {
    close();
}

} // namespace runetally::web
