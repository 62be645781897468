#pragma once

#include <vector>

#include <QApplication>
#include <QMouseEvent>
#include <qcustomplot.h>

#include "chart/chartview.h"
#include "recording/decoder.h"

// Small sample arrays in the decoder's layout (entry 0 unused) and a shown chart.
struct Samples {
    std::vector<float> vt{0}, vv{0}, tt{0}, tv{0};
    std::vector<double> begins = std::vector<double>(veltrano::kBeginPointCapacity, 0.0);

    void voltage(float t, float v) {
        vt.push_back(t);
        vv.push_back(v);
    }
    void temperature(float t, float v) {
        tt.push_back(t);
        tv.push_back(v);
    }
    veltrano::ChartFill fill(double over = 14.4, double under = 12.0, double hot = 35,
                             double cold = 0) const {
        veltrano::ChartFill f;
        f.voltageTimes = vt.data();
        f.voltageValues = vv.data();
        f.voltageSampleCount = int(vt.size()) - 1;
        f.temperatureTimes = tt.data();
        f.temperatureValues = tv.data();
        f.temperatureSampleCount = int(tt.size()) - 1;
        f.beginPointSeconds = begins;
        f.limits = {over, under, hot, cold};
        return f;
    }
};

inline void showChart(veltrano::ChartView& chart) {
    chart.resize(800, 500);
    chart.show();
    QApplication::processEvents();
    chart.redraw();
}

inline void sendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Presses at from, moves in a few steps and releases at to, as a user drags.
inline void drag(QWidget* w, QPoint from, QPoint to) {
    sendMouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int k = 1; k <= 4; ++k) {
        sendMouse(w, QEvent::MouseMove, from + (to - from) * k / 4, Qt::LeftButton);
    }
    sendMouse(w, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

inline QPoint pixelOf(const veltrano::ChartView& chart, double x, double yLeft) {
    QCustomPlot* p = chart.plot();
    return QPoint(int(std::lround(p->xAxis->coordToPixel(x))),
                  int(std::lround(p->yAxis->coordToPixel(yLeft))));
}
