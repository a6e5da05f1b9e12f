#include "frmplanner.h"

#include "characterfiles.h"
#include "chartcanvas.h"
#include "reporttable.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

namespace runetally {
namespace {

const FormDesc& Form() {
    return PlannerDescription();
}

} // namespace

frmPlanner::frmPlanner()
    : QWidget(nullptr),
      widgets_(
          this, Form(),
          {.clicked = [this](ControlId id) { commands_.click(id.as<PlannerControl>()); },
           .changed = [this](ControlId id) { commands_.change(id.as<PlannerControl>()); },
           .sortRequested = [this](ControlId id,
                                   int column) { commands_.sort(id.as<PlannerControl>(), column); },
           .copying = [this](ControlId id) { return commands_.copy(id.as<PlannerControl>()); },
           .resized = [this](ControlId) { commands_.picChart_Resize(); }}) {
    setObjectName(ToQString(Form().name));
    setWindowTitle(ToQString(Form().caption));
    // A window of its own: its own taskbar entry, and no owner that would close it.
    setWindowFlag(Qt::Window);
    const QSize client = ToPixels({0, 0, Form().clientWidth, Form().clientHeight}).size();
    if (Form().describedIsMinimum) {
        setMinimumSize(client);
    }
    resize(client);
    widgets_.setFocusOrder();
}

void frmPlanner::activate() {
    show();
    raise();
    activateWindow();
}

std::string frmPlanner::stepText() const {
    return widgets_.get<QLineEdit>(PlannerControl::txtStep)->text().toStdString();
}

int frmPlanner::chosenInput() const {
    return widgets_.get<QComboBox>(PlannerControl::cboInput)->currentIndex();
}

void frmPlanner::setStatus(std::string_view text) {
    widgets_.get<QLabel>(PlannerControl::lblStatus)->setText(ToQString(text));
}

void frmPlanner::setRows(PlannerControl table, std::span<const TableRow> rows) {
    widgets_.get<ReportTable>(table)->setRows(rows);
}

void frmPlanner::setSortMark(PlannerControl table, int column, bool descending) {
    widgets_.get<ReportTable>(table)->setSortMark(column, descending);
}

void frmPlanner::selectRow(PlannerControl table, int row) {
    widgets_.get<ReportTable>(table)->selectRow(row);
}

int frmPlanner::selectedRow(PlannerControl table) const {
    return widgets_.get<ReportTable>(table)->selectedRow();
}

PointTwips frmPlanner::chartSize() const {
    const QSize size = widgets_.get(PlannerControl::picChart)->size();
    return {size.width() * kTwipsPerInch / kQtDpi, size.height() * kTwipsPerInch / kQtDpi};
}

void frmPlanner::setChart(const ChartPicture& picture) {
    widgets_.get<ChartCanvas>(PlannerControl::picChart)->setPicture(picture);
}

void frmPlanner::copyText(std::string_view text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

void frmPlanner::setColumns(PlannerControl table, std::span<const ColumnDesc> columns) {
    widgets_.get<ReportTable>(table)->setColumns(columns);
}

void frmPlanner::setShown(PlannerControl control, bool shown) {
    widgets_.get(control)->setVisible(shown);
}

std::optional<std::string> frmPlanner::chooseCharacterToOpen() {
    return ChooseCharacterToOpen(this);
}

void frmPlanner::showMessage(std::string_view text) {
    ShowMessage(ToQString(text));
}

void frmPlanner::unload() {
    close();
}

void frmPlanner::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    widgets_.place(size());
}

void frmPlanner::closeEvent(QCloseEvent* event) {
    event->accept();
    PlannerForm().unloaded(this);
}

FormInstance<frmPlanner>& PlannerForm() {
    static FormInstance<frmPlanner> instance([] { return NewSharedForm(PlannerForm()); });
    return instance;
}

} // namespace runetally
