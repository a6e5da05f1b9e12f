#include "formdescription.h"

namespace runetally {
namespace {

// An edge that moves by its share of what the area gained, on the layout's grid.
int Moved(int edge, int share, int gained) {
    constexpr int kGrid = 15;
    const int moved = gained > 0 ? gained * share / 100 : 0;
    return edge + moved / kGrid * kGrid;
}

} // namespace

TwipsRect Placed(const FormDesc& form, const WidgetDesc& widget, int clientWidth,
                 int clientHeight) {
    const TwipsRect& r = widget.rect;
    const int wider = clientWidth - form.clientWidth;
    const int taller = clientHeight - form.clientHeight;
    const int left = Moved(r.left, widget.stretch.left, wider);
    const int top = Moved(r.top, widget.stretch.top, taller);
    return {left, top, Moved(r.left + r.width, widget.stretch.right, wider) - left,
            Moved(r.top + r.height, widget.stretch.bottom, taller) - top};
}

std::string ShortcutText(Shortcut shortcut) {
    if (shortcut.key == 0) {
        return {};
    }
    return std::string(shortcut.control ? "Ctrl+" : "") + (shortcut.shift ? "Shift+" : "") +
           std::string(1, shortcut.key);
}

std::vector<const WidgetDesc*> InputCaptions(const FormDesc& form) {
    std::vector<const WidgetDesc*> captions;
    for (const WidgetDesc& desc : form.widgets) {
        if (desc.kind == WidgetKind::Label && desc.buddy && desc.font == nullptr) {
            captions.push_back(&desc);
        }
    }
    return captions;
}

std::string_view AccessibleName(const FormDesc& form, const WidgetDesc& widget) {
    for (const WidgetDesc& label : form.widgets) {
        if (label.kind == WidgetKind::Label && label.buddy == widget.id) {
            return label.text;
        }
    }
    return widget.accessibleName.empty() ? widget.text : widget.accessibleName;
}

} // namespace runetally
