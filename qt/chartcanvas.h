#pragma once

#include "chartpicture.h"

#include <QWidget>

namespace runetally {

class FormEvents;

// A chart: draws the picture its window's commands worked out, at the screen's own resolution,
// and speaks the picture's description. It takes the focus so that Ctrl+C can copy what it shows;
// it tells the window's events of each new size.
class ChartCanvas : public QWidget {
    Q_OBJECT

public:
    ChartCanvas(QWidget* parent, ControlId id, FormEvents& events);

    void setPicture(ChartPicture picture);
    const ChartPicture& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ControlId id_;
    FormEvents& events_;
    ChartPicture picture_;
};

} // namespace runetally
