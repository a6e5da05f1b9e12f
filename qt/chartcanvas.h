#pragma once

#include "chartpicture.h"

#include <QWidget>

#include <functional>

namespace runetally {

// A chart: draws the picture its window's commands worked out, at the screen's own resolution,
// and speaks the picture's description. It takes the focus so that Ctrl+C can copy what it shows.
class ChartCanvas : public QWidget {
    Q_OBJECT

public:
    struct Events {
        std::function<void()> resized;
        std::function<bool()> copying; // Ctrl+C: true once the commands copied
    };

    ChartCanvas(QWidget* parent, Events events);

    void setPicture(ChartPicture picture);
    const ChartPicture& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Events events_;
    ChartPicture picture_;
};

} // namespace runetally
