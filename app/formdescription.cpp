#include "formdescription.h"

namespace runetally {

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
