#pragma once

#include "chartpicture.h"
#include "formdescription.h"
#include "tablerow.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace runetally {

// A window drawn from its description, as its commands see it: every control reached by its id.
// Each toolkit implements it once, for any description.
class FormSurface {
public:
    virtual ~FormSurface() = default;

    // A text box's or a label's text exactly as it stands.
    virtual std::string text(ControlId id) const = 0;
    // A text box reports the change, as the player's typing does; a label reports nothing.
    virtual void setText(ControlId id, std::string_view text) = 0;
    // The place of a list box's or combo box's selected item, or of a table's selected row; -1
    // when none is selected.
    virtual int selected(ControlId id) const = 0;
    // Selects the item or row at that place, or none for -1, and brings it into view. Reports
    // nothing: the commands that select know it.
    virtual void select(ControlId id, int place) = 0;
    // A table shows these rows, none selected.
    virtual void setRows(ControlId table, std::span<const TableRow> rows) = 0;
    // A table shows these columns, and no rows until it is given them.
    virtual void setColumns(ControlId table, std::span<const ColumnDesc> columns) = 0;
    // A table marks the column it is sorted by.
    virtual void setSortMark(ControlId table, int column, bool descending) = 0;
    // The widget's size in twips, as it stands on the screen.
    virtual PointTwips sizeOf(ControlId id) const = 0;
    virtual void setChart(ControlId chart, const ChartPicture& picture) = 0;
    virtual void setShown(ControlId id, bool shown) = 0;
    // Shows a menu item with that caption, or leaves it out of its menu.
    virtual void setMenuItem(ControlId item, std::string_view caption, bool shown) = 0;
    virtual void setCaption(std::string_view caption) = 0;
    // Closes the window and discards its widgets, as its close box does, without asking.
    virtual void close() = 0;
};

// What a window's widgets tell its commands. Each toolkit tells it the same way for any window;
// a window's commands answer what concerns them.
class FormEvents {
public:
    virtual ~FormEvents() = default;

    // The window's widgets stand: its load step.
    virtual void loaded() {}
    // A push button was pressed or a menu item chosen.
    virtual void clicked(ControlId /*id*/) {}
    // A text box's text, a combo box's choice or a list's selection changed, by the player or by
    // setText; or the player selected another row of a table.
    virtual void changed(ControlId /*id*/) {}
    // A click or Enter on the caption of a sortable table's column.
    virtual void sortAsked(ControlId /*table*/, int /*column*/) {}
    // Ctrl+C on a table or chart: true once the commands copied.
    virtual bool copying(ControlId /*id*/) { return false; }
    // A chart took another size.
    virtual void resized(ControlId /*id*/) {}
    // Whether a paste may go ahead that would leave a text box with a limit this long.
    virtual bool pasting(ControlId /*box*/, std::size_t /*length*/) { return true; }
    // Whether the window takes a file of that name dropped on it; the drag is refused otherwise.
    virtual bool takesFile(std::string_view /*path*/) const { return false; }
    // A file the window takes was dropped on it.
    virtual void dropped(const std::string& /*path*/) {}
    // The player asked the window to close: whether it may. close() does not ask.
    virtual bool closing() { return true; }
};

} // namespace runetally
