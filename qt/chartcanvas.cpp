#include "chartcanvas.h"

#include "formsurface.h"
#include "formwidgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <utility>

namespace runetally {
namespace {

constexpr double kTwipsPerPixel = double(kTwipsPerInch) / kQtDpi;

QPointF ToPoint(PointTwips p) {
    return {p.x / kTwipsPerPixel, p.y / kTwipsPerPixel};
}

// Screen readers hear a chart as one, not as an empty client area.
QAccessibleInterface* ChartAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(ChartCanvas::staticMetaObject.className()) &&
        object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Chart);
    }
    return nullptr;
}

} // namespace

ChartCanvas::ChartCanvas(QWidget* parent, ControlId id, FormEvents& events)
    : QWidget(parent), id_(id), events_(events) {
    [[maybe_unused]] static const bool accessible =
        (QAccessible::installFactory(ChartAccessible), true); // once, with the first chart
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void ChartCanvas::setPicture(ChartPicture picture) {
    const bool described = picture.description != picture_.description;
    picture_ = std::move(picture);
    if (described) {
        setAccessibleDescription(ToQString(picture_.description));
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
    update();
}

void ChartCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const ChartLine& line : picture_.lines) {
        QPen pen(ToQColor(line.colour), line.width);
        pen.setStyle(line.dashed ? Qt::DashLine : Qt::SolidLine);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(ToPoint(line.from), ToPoint(line.to));
    }
    for (const ChartPolyline& polyline : picture_.polylines) {
        QPolygonF points;
        for (const PointTwips& p : polyline.points) {
            points << ToPoint(p);
        }
        QPen pen(ToQColor(polyline.colour), polyline.width);
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setStyle(polyline.dashed ? Qt::DashLine : Qt::SolidLine);
        painter.setPen(pen);
        painter.drawPolyline(points);
    }
    for (const ChartDot& dot : picture_.dots) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ToQColor(dot.colour));
        const double radius = dot.radius / kTwipsPerPixel;
        painter.drawEllipse(ToPoint(dot.centre), radius, radius);
    }
    painter.setBrush(Qt::NoBrush);
    const QFontMetricsF metrics(font());
    // The anchors run by rows from the top-left, three to a row: left, centre, right.
    static_assert(int(TextAnchor::Top) == 1 && int(TextAnchor::Left) == 3);
    static constexpr Qt::AlignmentFlag kColumns[] = {Qt::AlignLeft, Qt::AlignHCenter,
                                                     Qt::AlignRight};
    static constexpr Qt::AlignmentFlag kRows[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    for (const ChartText& text : picture_.texts) {
        const QString shown = ToQString(text.text);
        const int column = static_cast<int>(text.anchor) % 3;
        const int row = static_cast<int>(text.anchor) / 3;
        // The text's box, with the anchor's point of it at the text's position.
        const QSizeF size(metrics.horizontalAdvance(shown) + 1, metrics.height());
        const QPointF corner =
            ToPoint(text.at) - QPointF(size.width() * column / 2, size.height() * row / 2);
        painter.setPen(ToQColor(text.colour));
        painter.drawText(QRectF(corner, size), kColumns[column] | kRows[row], shown);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void ChartCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    events_.resized(id_);
}

} // namespace runetally
