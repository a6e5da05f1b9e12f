#pragma once

#include "formdescription.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <string_view>

class QWidget;

namespace runetally {

class FormEvents;

inline constexpr int kQtDpi = 96; // Qt's pixels are those of a 96-dpi screen, scaled by Qt

// A twips rectangle in Qt's device-independent pixels, which Qt scales to the screen itself.
QRect ToPixels(const TwipsRect& rect);

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QColor ToQColor(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// A widget of any kind drawn from its description at its place on the client area, telling the
// window's events what the player does with it. Its name is the window's to give.
QWidget* CreateWidget(QWidget* client, const WidgetDesc& desc, FormEvents& events);

} // namespace runetally
