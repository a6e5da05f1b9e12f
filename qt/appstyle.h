#pragma once

#include <QProxyStyle>

namespace runetally {

// The desktop's own style, except that the icon of the menu bar's overflow button is read only
// when the button first shows. Reading it at start, as every menu bar does, has Qt load each
// image format plugin in turn to find that none reads PNG, then libpng: half a megabyte
// resident, for a button that shows only when the window is too narrow for its menus.
class AppStyle : public QProxyStyle {
public:
    explicit AppStyle(const QString& key);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override;
};

} // namespace runetally
