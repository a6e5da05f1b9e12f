#include "plannercommands.h"

#include "characterfile.h"
#include "figuretext.h"
#include "filestore.h"
#include "gains.h"
#include "numbers.h"
#include "spellorder.h"
#include "spelltable.h"
#include "sweep.h"
#include "tobest.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace runetally {
namespace {

using enum PlannerControl;

constexpr std::string_view kMarkNote = "selected in the main window";
constexpr int kMostChartSteps = 200; // points along the chart's input
constexpr int kMostCrossings = 4;

const double* Number(const DamageValue& value) {
    return std::get_if<double>(&value);
}

std::optional<double> NumberOf(const DamageValue& value) {
    const double* number = Number(value);
    return number ? std::optional(*number) : std::nullopt;
}

std::size_t PlaceOf(const SpellFormula* spell) {
    return static_cast<std::size_t>(spell - SpellTable.data());
}

// A failure in the main window's words, short enough for a cell.
std::string ShortFailure(const DamageFailure& failure) {
    if (const auto* bad = std::get_if<BadInput>(&failure)) {
        return "not a number: " + std::string(CaptionOf(bad->field));
    }
    switch (std::get<ArithmeticFault>(failure)) {
    case ArithmeticFault::DivideByZero:
        return "divided by zero";
    case ArithmeticFault::InvalidOperation:
        return "zero divided by zero";
    case ArithmeticFault::Overflow:
        return "too large";
    }
    return "not calculated";
}

// A figure as the tables write it; a failure as the main window tells it.
std::string Cell(const DamageValue& value, char separator,
                 const std::optional<Decimal>& written = std::nullopt) {
    const DamageValue checked = Number(value) ? Checked(*Number(value)) : value;
    return Number(checked) ? FigureText(checked, written, separator)
                           : ShortFailure(std::get<DamageFailure>(checked));
}

// A share in percent to a tenth, or the failure of the figure it was worked out from.
std::string Percent(const std::optional<DamageValue>& percent, char separator) {
    if (!percent) {
        return "";
    }
    const double* number = Number(*percent);
    return number ? TenthsText(*number, separator) : Cell(*percent, separator);
}

// The column of the planner's spell table in the terms of the tables' order.
OrderColumn OrderOf(SpellColumn column) {
    switch (column) {
    case SpellColumn::Spell:
        return OrderColumn::Spell;
    case SpellColumn::Element:
        return OrderColumn::Element;
    case SpellColumn::Damage:
        return OrderColumn::Damage;
    case SpellColumn::PercentOfBest:
        return OrderColumn::PercentOfBest;
    case SpellColumn::Gain:
        return OrderColumn::Gain;
    case SpellColumn::PointsToBest:
        return OrderColumn::ToBest;
    case SpellColumn::DamageB:
        return OrderColumn::DamageB;
    case SpellColumn::Difference:
        return OrderColumn::Difference;
    case SpellColumn::DifferencePercent:
        return OrderColumn::DifferencePercent;
    }
    return OrderColumn::Damage;
}

// Names and elements read A to Z first, points to best fewest first; the rest highest first.
bool DescendsFirst(SpellColumn column) {
    return column != SpellColumn::Spell && column != SpellColumn::Element &&
           column != SpellColumn::PointsToBest;
}

// Ranks 1 for the largest gain; equal gains share a rank, and a failed gain has none.
std::vector<std::string> Ranks(const std::vector<Gain>& gains) {
    std::vector<std::string> ranks;
    for (const Gain& gain : gains) {
        const double* mine = Number(gain.gain);
        if (!mine) {
            ranks.emplace_back();
            continue;
        }
        int above = 0;
        for (const Gain& other : gains) {
            const double* theirs = Number(other.gain);
            above += theirs && *theirs > *mine;
        }
        ranks.push_back(std::to_string(above + 1));
    }
    return ranks;
}

// The first of the main window's boxes from the top that holds no number, as the main window
// names it.
std::optional<std::string> FirstBoxNoNumber(const ParsedInputs& inputs) {
    for (Field field : kInputsTopDown) {
        if (!inputs[field]) {
            return FailureMessage(BadInput{field});
        }
    }
    return std::nullopt;
}

} // namespace

void PlannerCommands::follow(const SpellInputs& inputs) {
    inputs_ = inputs;
    refresh();
}

void PlannerCommands::cboInput_Click() {
    refresh();
}

void PlannerCommands::txtStep_Change() {
    refresh();
}

bool PlannerCommands::change(PlannerControl control) {
    switch (control) {
    case cboInput:
        cboInput_Click();
        return true;
    case txtStep:
        txtStep_Change();
        return true;
    case lvwSpells:
        lvwSpells_Click();
        return true;
    default:
        return false;
    }
}

bool PlannerCommands::sort(PlannerControl table, int column) {
    if (table != lvwSpells) {
        return false;
    }
    lvwSpells_ColumnClick(column);
    return true;
}

std::optional<std::string> PlannerCommands::problem(ParsedInputs& parsed, double& step) const {
    const char separator = platform_.decimalSeparator();
    parsed = ParseInputs(*inputs_, separator);
    const std::optional<double> number = ParseNumber(form_.text(txtStep), separator);
    if (!number) {
        const FormDesc& form = PlannerDescription();
        return "The text in \"" + std::string(AccessibleName(form, form.widget(txtStep))) +
               "\" is not a number.";
    }
    step = *number;
    return std::nullopt;
}

void PlannerCommands::refresh() {
    if (!inputs_) {
        return;
    }
    Figures figures;
    const std::optional<std::string> failed = problem(figures.inputs, figures.step);
    if (failed) {
        // Without a step no gain can be worked out, and figures from another step would mislead.
        figures_.reset();
        shown_.clear();
        const std::string said = FirstBoxNoNumber(figures.inputs).value_or(*failed);
        form_.setText(lblStatus, said);
        form_.setRows(lvwSpells, {});
        form_.setRows(lvwInputs, {});
        const PointTwips size = form_.sizeOf(picChart);
        form_.setChart(picChart, DrawChartMessage(said, size.x, size.y));
        return;
    }
    const char separator = platform_.decimalSeparator();
    const int chosen = std::clamp(form_.selected(cboInput), 0, kFieldCount - 1);
    figures.input = kInputsTopDown[static_cast<std::size_t>(chosen)];
    const std::vector<Gain> gains = InputGains(figures.inputs, figures.input, figures.step);
    if (compared_) {
        for (const Gain& gain : gains) {
            figures.damageB.push_back(EvaluateSpell(*gain.spell, compared_->inputs));
            figures.changes.push_back(ChangeBetween(gain.damage, figures.damageB.back()));
        }
    }
    const auto toBest = ToBest(figures.inputs, figures.input);
    figures.ranking = RankSpells(figures.inputs);
    figures.percentOfBest.resize(SpellTable.size());
    for (const RankedSpell& ranked : figures.ranking) {
        figures.percentOfBest[PlaceOf(ranked.spell)] = ranked.percentOfBest;
    }
    for (std::size_t i = 0; i < gains.size(); ++i) {
        figures.gains.push_back({gains[i], toBest[i], figures.percentOfBest[i]});
        if (compared_) {
            figures.gains.back().damageB = figures.damageB[i];
            figures.gains.back().change = figures.changes[i];
        }
        const GainRow& row = figures.gains.back();
        const std::optional<double> percent = figures.percentOfBest[i];
        TableRow shown{{std::string(row.gain.spell->name),
                        std::string(ElementName(*row.gain.spell)), Cell(row.gain.damage, separator),
                        percent ? ShareOfBestText(*percent, separator) : "",
                        Cell(row.gain.gain, separator, row.gain.gainWritten),
                        row.toBest ? std::to_string(*row.toBest) : "never"}};
        if (compared_) {
            const Change& change = figures.changes[i];
            shown.cells.push_back(Cell(figures.damageB[i], separator));
            shown.cells.push_back(Cell(change.difference, separator, change.differenceWritten));
            shown.cells.push_back(Percent(change.percent, separator));
        }
        if (row.gain.spell->name == inputs_->spellName) {
            shown.note = kMarkNote;
        }
        figures.rows.push_back(std::move(shown));
    }
    // A box that holds no number fails only the spells that use it, as in runetally-table; the
    // status names it as the main window does.
    std::string status = compared_ ? "Comparing with " + compared_->name + " (B)" : "";
    if (const std::optional<std::string> box = FirstBoxNoNumber(figures.inputs)) {
        status = *box + (status.empty() ? "" : " " + status);
    }
    figures_ = std::move(figures);
    form_.setText(lblStatus, status);
    showSpells();
    showSelected();
}

void PlannerCommands::showSpells() {
    const Figures& figures = *figures_;
    // From the table's order, so that equal keys always stand in the spell list's order.
    shown_.clear();
    for (std::size_t place : SortedOrder(figures.gains, OrderOf(sortColumn_), descending_)) {
        shown_.push_back(static_cast<int>(place));
    }
    std::vector<TableRow> rows;
    for (int place : shown_) {
        rows.push_back(figures.rows[static_cast<std::size_t>(place)]);
    }
    form_.setRows(lvwSpells, rows);
    form_.setSortMark(lvwSpells, static_cast<int>(sortColumn_), descending_);
}

void PlannerCommands::showSelected() {
    const Figures& figures = *figures_;
    if (selected_ == nullptr && Number(figures.ranking.front().damage)) {
        selected_ = figures.ranking.front().spell; // until the player chooses: the best
    }
    const auto row = std::find(shown_.begin(), shown_.end(),
                               selected_ ? static_cast<int>(PlaceOf(selected_)) : -1);
    form_.select(lvwSpells, row == shown_.end() ? -1 : static_cast<int>(row - shown_.begin()));

    std::vector<TableRow> rows;
    if (selected_ != nullptr) {
        const char separator = platform_.decimalSeparator();
        std::vector<Gain> gains;
        for (Field field : kInputsTopDown) {
            gains.push_back(SpellGain(*selected_, figures.inputs, field, figures.step));
        }
        const std::vector<std::string> ranks = Ranks(gains);
        for (std::size_t i = 0; i < gains.size(); ++i) {
            rows.push_back({{std::string(CaptionOf(gains[i].input)),
                             Cell(gains[i].gain, separator, gains[i].gainWritten), ranks[i]}});
        }
    }
    form_.setRows(lvwInputs, rows);
    drawChart();
}

const SpellFormula* PlannerCommands::bestOther() const {
    for (const RankedSpell& ranked : figures_->ranking) {
        if (ranked.spell != selected_ && Number(ranked.damage)) {
            return ranked.spell;
        }
    }
    return nullptr;
}

void PlannerCommands::drawChart() {
    Figures& figures = *figures_;
    const PointTwips size = form_.sizeOf(picChart);
    if (selected_ == nullptr) {
        figures.chart.reset();
        form_.setChart(picChart,
                       DrawChartMessage("No spell deals damage at these inputs.", size.x, size.y));
        return;
    }
    if (!figures.inputs[figures.input]) {
        figures.chart.reset();
        form_.setChart(picChart,
                       DrawChartMessage(FailureMessage(BadInput{figures.input}), size.x, size.y));
        return;
    }
    const char separator = platform_.decimalSeparator();
    const double now = *figures.inputs[figures.input];
    // Where Points to best says the selected spell becomes best, the chart shows it happen.
    const std::optional<int> toBest = figures.gains[PlaceOf(selected_)].toBest;
    const double best = toBest && *toBest > 0 ? now + *toBest : now;
    // From 0, or the input's value below it, to twice the value, at least to 100 and a tenth
    // past where the spell becomes best, in steps of 1, 2 or 5 times a power of ten: values
    // that runetally-table --sweep can be asked for.
    const double from = std::min(0.0, now);
    const double wanted = std::max({2 * now, 100.0, best + (best - from) / 10});
    const double to = std::isfinite(wanted) ? wanted : std::numeric_limits<double>::max();
    const double step = TickStep(to - from, kMostChartSteps);
    const auto values = std::isfinite(to - from)
                            ? SweepValues(std::floor(from / step) * step, to, step)
                            : SweepValues(0, to, step);
    std::vector<double> at = std::holds_alternative<std::vector<double>>(values)
                                 ? std::get<std::vector<double>>(values)
                                 : std::vector<double>{from, to};
    std::vector<const SpellFormula*> spells{selected_};
    if (const SpellFormula* other = bestOther()) {
        spells.push_back(other);
    }
    // The sweep lists its spells in the table's order, as runetally-table --sweep does.
    std::vector<const SpellFormula*> listed = spells;
    std::sort(listed.begin(), listed.end());
    figures.sweep = SweepInput(figures.inputs, figures.input, at, listed);

    DamageChartData data;
    data.input = std::string(CaptionOf(figures.input));
    data.at = at;
    data.current = now;
    for (std::size_t s = 0; s < spells.size(); ++s) {
        ChartSeries series{std::string(spells[s]->name), {}};
        const auto place = static_cast<std::size_t>(
            std::find(listed.begin(), listed.end(), spells[s]) - listed.begin());
        for (std::size_t v = 0; v < at.size(); ++v) {
            series.damage.push_back(NumberOf(figures.sweep.damage(place, v)));
        }
        data.lines.push_back(std::move(series));
    }
    if (spells.size() == 2) {
        // Whichever leads where both first have a damage, the other passes it where it first
        // deals as much; then the lead changes hands again, perhaps.
        double first = at.front();
        for (std::size_t v = 0; v < at.size(); ++v) {
            if (data.lines[0].damage[v] && data.lines[1].damage[v]) {
                first = at[v];
                break;
            }
        }
        for (const LeadChange& change : LeadChanges(*spells[0], *spells[1], figures.inputs,
                                                    figures.input, first, to, kMostCrossings)) {
            // The crossing itself; where it is the one that makes the selected spell best, also
            // the raise that Points to best gives for it.
            std::string label = std::string(change.passing->name) + " passes " +
                                std::string(change.passed->name) + " at " +
                                CrossingText(change.at, now, separator);
            if (change.passing == selected_ && toBest && *toBest > 0 &&
                change.at > now + (*toBest - 1) && change.at <= now + *toBest) {
                label += " (+" + std::to_string(*toBest) + ")";
            }
            data.crossings.push_back({change.at, change.damage, std::move(label)});
        }
    }
    figures.chart = data;
    form_.setChart(picChart, DrawDamageChart(data, size.x, size.y, separator));
}

void PlannerCommands::lvwSpells_Click() {
    const int row = form_.selected(lvwSpells);
    if (!figures_ || row < 0 || row >= static_cast<int>(shown_.size())) {
        return;
    }
    selected_ = &SpellTable[static_cast<std::size_t>(shown_[static_cast<std::size_t>(row)])];
    showSelected();
}

void PlannerCommands::lvwSpells_ColumnClick(int column) {
    const auto clicked = static_cast<SpellColumn>(column);
    const auto last = compared_ ? SpellColumn::DifferencePercent : SpellColumn::PointsToBest;
    if (column < 0 || column > static_cast<int>(last)) {
        return;
    }
    descending_ = clicked == sortColumn_ ? !descending_ : DescendsFirst(clicked);
    sortColumn_ = clicked;
    if (figures_) {
        showSpells();
        showSelected();
    } else {
        form_.setSortMark(lvwSpells, column, descending_);
    }
}

void PlannerCommands::picChart_Resize() {
    if (!inputs_) {
        return;
    }
    if (figures_ && figures_->chart) {
        const PointTwips size = form_.sizeOf(picChart);
        form_.setChart(picChart, DrawDamageChart(*figures_->chart, size.x, size.y,
                                                 platform_.decimalSeparator()));
    } else if (figures_) {
        drawChart();
    } else {
        refresh(); // the message, centred again
    }
}

void PlannerCommands::cmdCompare_Click() {
    const std::optional<std::string> path = platform_.chooseFileToOpen();
    if (!path) {
        return;
    }
    const char separator = platform_.decimalSeparator();
    auto opened = OpenCharacter(*path, separator);
    if (const auto* message = std::get_if<std::string>(&opened)) {
        platform_.showMessage(*message);
        return;
    }
    compared_ = Compared{FileNameOf(*path), ParseInputs(std::get<Character>(opened), separator)};
    form_.setColumns(lvwSpells, CompareColumns());
    form_.setShown(cmdStopCompare, true);
    refresh();
}

void PlannerCommands::cmdStopCompare_Click() {
    if (!compared_) {
        return;
    }
    compared_.reset();
    if (sortColumn_ > SpellColumn::PointsToBest) {
        sortColumn_ = SpellColumn::Damage;
        descending_ = true;
    }
    form_.setColumns(lvwSpells, PlannerDescription().widget(lvwSpells).columns);
    form_.setShown(cmdStopCompare, false);
    form_.setSortMark(lvwSpells, static_cast<int>(sortColumn_), descending_);
    form_.setText(lblStatus, "");
    refresh();
}

bool PlannerCommands::click(PlannerControl control) {
    switch (control) {
    case cmdCompare:
        cmdCompare_Click();
        return true;
    case cmdStopCompare:
        cmdStopCompare_Click();
        return true;
    default:
        return false;
    }
}

bool PlannerCommands::copy(PlannerControl control) {
    if (!figures_) {
        return false;
    }
    const char separator = platform_.decimalSeparator();
    switch (control) {
    case lvwSpells: {
        // The table as shown, as runetally-table --gain INPUT --step N --sort COLUMN
        // [--ascending] [--compare B] writes it.
        std::vector<GainRow> rows;
        for (int place : shown_) {
            rows.push_back(figures_->gains[static_cast<std::size_t>(place)]);
        }
        platform_.copyText(
            WriteGainTable(rows, ReportFormat::Csv, separator, compared_.has_value()));
        return true;
    }
    case lvwInputs:
        // As runetally-table --values writes it for the selected spell.
        if (selected_ == nullptr) {
            return false;
        }
        platform_.copyText(
            WriteValuesTable(SpellGains(*selected_, figures_->inputs, figures_->step),
                             ReportFormat::Csv, separator));
        return true;
    case picChart:
        if (!figures_->chart) {
            return false;
        }
        platform_.copyText(WriteSweepTable(figures_->sweep, ReportFormat::Csv, separator));
        return true;
    default:
        return false;
    }
}

} // namespace runetally
