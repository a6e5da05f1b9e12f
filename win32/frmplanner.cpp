#include "frmplanner.h"

#include "characterdialogs.h"
#include "chartcontrol.h"
#include "reportlist.h"
#include "widetext.h"

#include <cstring>

namespace runetally::win32 {
namespace {

const FormDesc& Form() {
    return PlannerDescription();
}

} // namespace

frmPlanner::frmPlanner() : FormWindow(Form()) {
    create(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_APPWINDOW);
}

std::string frmPlanner::stepText() const {
    const HWND box = control(PlannerControl::txtStep);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

int frmPlanner::chosenInput() const {
    return static_cast<int>(SendMessageW(control(PlannerControl::cboInput), CB_GETCURSEL, 0, 0));
}

void frmPlanner::setStatus(std::string_view text) {
    SetWindowTextW(control(PlannerControl::lblStatus), Widen(text).c_str());
}

void frmPlanner::setRows(PlannerControl table, std::span<const TableRow> rows) {
    quiet_ = true;
    SetReportRows(control(table), rows);
    quiet_ = false;
}

void frmPlanner::setSortMark(PlannerControl table, int column, bool descending) {
    SetReportSortMark(control(table), column, descending);
}

void frmPlanner::selectRow(PlannerControl table, int row) {
    quiet_ = true;
    SelectReportRow(control(table), row);
    quiet_ = false;
}

int frmPlanner::selectedRow(PlannerControl table) const {
    return SelectedReportRow(control(table));
}

PointTwips frmPlanner::chartSize() const {
    RECT area;
    GetClientRect(control(PlannerControl::picChart), &area);
    const int dpi = controls().dpi();
    return {MulDiv(area.right, kTwipsPerInch, dpi), MulDiv(area.bottom, kTwipsPerInch, dpi)};
}

void frmPlanner::setChart(const ChartPicture& picture) {
    SetChartPicture(control(PlannerControl::picChart), picture);
}

void frmPlanner::copyText(std::string_view text) {
    const std::wstring wide = Widen(text);
    if (!OpenClipboard(handle())) {
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (const HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(GlobalLock(data), wide.c_str(), bytes);
        GlobalUnlock(data);
        if (SetClipboardData(CF_UNICODETEXT, data) == nullptr) {
            GlobalFree(data); // the clipboard owns it only once taken
        }
    }
    CloseClipboard();
}

void frmPlanner::showMessage(std::string_view text) {
    ShowMessage(text);
}

void frmPlanner::unload() {
    close();
}

void frmPlanner::setColumns(PlannerControl table, std::span<const ColumnDesc> columns) {
    quiet_ = true;
    controls_->setColumns(table, columns);
    quiet_ = false;
}

void frmPlanner::setShown(PlannerControl control, bool shown) {
    showControl(control, shown);
}

std::optional<std::string> frmPlanner::chooseCharacterToOpen() {
    return ChooseCharacterToOpen(handle());
}

void frmPlanner::clicked(ControlId id) {
    commands_.click(id.as<PlannerControl>());
}

void frmPlanner::changed(ControlId id) {
    if (!quiet_) {
        commands_.change(id.as<PlannerControl>());
    }
}

void frmPlanner::sortRequested(ControlId table, int column) {
    commands_.sort(table.as<PlannerControl>(), column);
}

bool frmPlanner::copying(ControlId id) {
    return commands_.copy(id.as<PlannerControl>());
}

void frmPlanner::resized(ControlId) {
    commands_.picChart_Resize();
}

void frmPlanner::unloaded() {
    PlannerForm().unloaded(this);
    delete this;
}

FormInstance<frmPlanner>& PlannerForm() {
    static FormInstance<frmPlanner> instance([] { return new frmPlanner(); });
    return instance;
}

} // namespace runetally::win32
