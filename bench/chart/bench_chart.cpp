// Drawing ~8.4 million voltage samples: our chart (min/max pyramid) against a plain
// QCustomPlot graph holding every point with its own adaptive sampling, in one run. Also a
// hover and a wheel-zoom step of ours, against their goals.
#include <map>
#include <memory>
#include <optional>
#include <string>

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include "chart/chartview.h"
#include "interleaved.h"
#include "synthetic.h"

using namespace veltrano;

namespace {

constexpr int kSamples = 8'400'000;
constexpr QSize kChartSize(921, 599);

const synthetic::Recording& recording() {
    static const synthetic::Recording r = [] {
        synthetic::Recording rec = synthetic::makeRecording(kSamples);
        rec.temperatureSampleCount = 0; // voltage only: the peer draws one series too
        return rec;
    }();
    return r;
}

ChartFill fillOf(const synthetic::Recording& r) {
    ChartFill f;
    f.voltageTimes = r.voltageTimes.data();
    f.voltageValues = r.voltageValues.data();
    f.voltageSampleCount = r.voltageSampleCount;
    f.beginPointSeconds = r.beginPointSeconds;
    f.limits = {14.6, 12.0, 0, 0};
    return f;
}

double lastTime() {
    return recording().voltageTimes[kSamples];
}

struct Ours {
    ChartView chart;
    Ours() {
        chart.resize(kChartSize);
        chart.show();
        QApplication::processEvents();
        chart.startProcessing(1);
        chart.finishRecording(9, 16, 0, 0, lastTime());
        chart.endProcessing();
        chart.fill(fillOf(recording()));
        chart.redraw();
    }
};

struct Peer {
    QCustomPlot plot;
    QCPGraph* graph;
    explicit Peer(QSize size) {
        plot.resize(size);
        plot.show();
        QApplication::processEvents();
        graph = plot.addGraph();
        graph->setPen(QPen(Qt::red, 1));
        graph->setAntialiased(false);
        graph->setAdaptiveSampling(true);
        plot.yAxis->setRange(7, 18);
    }
    void setData() {
        const auto& r = recording();
        QVector<QCPGraphData> points(kSamples);
        for (int i = 0; i < kSamples; ++i) {
            points[i] = QCPGraphData(r.voltageTimes[i + 1], r.voltageValues[i + 1]);
        }
        graph->data()->set(points, true);
        plot.xAxis->setRange(r.voltageTimes[1], lastTime());
    }
};

// Created on first use, destroyed before the application object.
std::unique_ptr<Ours> g_ours;
std::unique_ptr<Peer> g_peer;

Ours& ours() {
    if (!g_ours) {
        g_ours = std::make_unique<Ours>();
    }
    return *g_ours;
}
Peer& peer() {
    if (!g_peer) {
        g_peer = std::make_unique<Peer>(ours().chart.plot()->size());
        g_peer->setData();
    }
    return *g_peer;
}

// --- (a) fill: pyramid build or setData, plus the first drawing
void fill_ours(benchmark::State& state) {
    Ours& o = ours();
    const ChartFill f = fillOf(recording());
    for (auto _ : state) {
        o.chart.fill(f);
        o.chart.redraw();
    }
    const double arrays = 2.0 * sizeof(float) * kSamples;
    const double own = double(o.chart.envelope(ChartView::Voltage).memoryBytes());
    state.counters["chart_MB"] = own / 1e6;
    state.counters["arrays_MB"] = arrays / 1e6;
    state.counters["chart_pct_of_arrays"] = 100.0 * own / arrays;
}
void fill_peer(benchmark::State& state) {
    Peer p(ours().chart.plot()->size());
    for (auto _ : state) {
        p.setData();
        p.plot.replot();
    }
    state.counters["chart_MB"] = double(sizeof(QCPGraphData)) * kSamples / 1e6;
}

// --- (b) full view after paging, and a one-unit page
void fullview_ours(benchmark::State& state) {
    Ours& o = ours();
    for (auto _ : state) {
        o.chart.bottomAxis().setMinMax(1000, 1001);    // a page
        o.chart.bottomAxis().setMinMax(0, lastTime()); // "Uitzoomen"
        o.chart.redraw();
    }
}
void fullview_peer(benchmark::State& state) {
    Peer& p = peer();
    for (auto _ : state) {
        p.plot.xAxis->setRange(1000, 1001);
        p.plot.xAxis->setRange(0, lastTime());
        p.plot.replot();
    }
}

void oneunit_ours(benchmark::State& state) {
    Ours& o = ours();
    double page = 0;
    for (auto _ : state) {
        page = page + 997 > lastTime() ? 0 : page + 997;
        o.chart.bottomAxis().setMinMax(page, page + 1);
        o.chart.redraw();
    }
}
void oneunit_peer(benchmark::State& state) {
    Peer& p = peer();
    double page = 0;
    for (auto _ : state) {
        page = page + 997 > lastTime() ? 0 : page + 997;
        p.plot.xAxis->setRange(page, page + 1);
        p.plot.replot();
    }
}

// --- (c) a hover at full view: the mouse enters the voltage line or leaves it, up to the
// end of the repaint
void hover_ours(benchmark::State& state) {
    Ours& o = ours();
    QCustomPlot* plot = o.chart.plot();
    o.chart.bottomAxis().setMinMax(0, lastTime());
    o.chart.leftAxis().setMinMax(7, 18);
    o.chart.redraw();
    QApplication::processEvents();
    // A point on the line: down the middle column until the line is hit.
    const QRect area = plot->axisRect()->rect();
    QPoint on(area.center().x(), area.top());
    const QPoint off(area.center().x(), int(plot->yAxis->coordToPixel(17.5)));
    auto move = [&](QPoint p) {
        QMouseEvent e(QEvent::MouseMove, QPointF(p), plot->mapToGlobal(QPointF(p)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(plot, &e);
        QApplication::processEvents();
    };
    const auto voltage = std::optional<ChartView::Series>(ChartView::Voltage);
    for (; on.y() < area.bottom(); on.ry() += 2) {
        move(on);
        if (o.chart.highlighted() == voltage) {
            break;
        }
    }
    if (o.chart.highlighted() != voltage) {
        state.SkipWithError("no point on the line");
        return;
    }
    bool lit = true;
    for (auto _ : state) {
        lit = !lit;
        move(lit ? on : off);
    }
    move(off);
}

// --- (d) one wheel notch at full view, in or out, and the drawing that follows
void wheel_ours(benchmark::State& state) {
    Ours& o = ours();
    QCustomPlot* plot = o.chart.plot();
    o.chart.bottomAxis().setMinMax(0, lastTime());
    o.chart.redraw();
    const QPointF at = plot->axisRect()->rect().center();
    int notch = -120;
    for (auto _ : state) {
        notch = -notch;
        QWheelEvent e(at, plot->mapToGlobal(at), QPoint(), QPoint(0, notch), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &e);
        o.chart.redraw();
    }
}

// --- (e) a mouse zoom onto an eighth of the recording
void zoom_ours(benchmark::State& state) {
    Ours& o = ours();
    for (auto _ : state) {
        state.PauseTiming();
        o.chart.bottomAxis().setMinMax(0, lastTime());
        o.chart.leftAxis().setMinMax(7, 18);
        o.chart.redraw();
        const QRect r = o.chart.plot()->axisRect()->rect();
        const QPoint from(r.left() + r.width() * 4 / 8, r.top() + r.height() / 4);
        const QPoint to(r.left() + r.width() * 5 / 8, r.bottom() - r.height() / 4);
        state.ResumeTiming();
        o.chart.dragRectangle(from, to);
        o.chart.redraw();
        state.PauseTiming();
        o.chart.dragRectangle(to, from); // undo, untimed
        state.ResumeTiming();
    }
}
// The pyramid's share of a full-view drawing.
void reduce_only(benchmark::State& state) {
    const Envelope& env = ours().chart.envelope(ChartView::Voltage);
    std::vector<Envelope::Point> out;
    for (auto _ : state) {
        env.reduce(0, lastTime(), 900, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["points"] = double(out.size());
}
void zoom_peer(benchmark::State& state) {
    Peer& p = peer();
    for (auto _ : state) {
        state.PauseTiming();
        p.plot.xAxis->setRange(0, lastTime());
        p.plot.yAxis->setRange(7, 18);
        p.plot.replot();
        const QRect r = p.plot.axisRect()->rect();
        state.ResumeTiming();
        const double x0 = p.plot.xAxis->pixelToCoord(r.left() + r.width() * 4 / 8);
        const double x1 = p.plot.xAxis->pixelToCoord(r.left() + r.width() * 5 / 8);
        const double y0 = p.plot.yAxis->pixelToCoord(r.bottom() - r.height() / 4);
        const double y1 = p.plot.yAxis->pixelToCoord(r.top() + r.height() / 4);
        p.plot.xAxis->setRange(x0, x1);
        p.plot.yAxis->setRange(y0, y1);
        p.plot.replot();
    }
}

// Prints, after the usual table, peer/ours for every pair and ours against its goal, from
// the medians of the CPU time: the drawing runs on the one GUI thread, and CPU time leaves out
// the other work on the shared cores.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (!r.error_occurred && r.run_type == Run::RT_Aggregate &&
                r.aggregate_name == "median") {
                times_[r.run_name.function_name] = r.GetAdjustedCPUTime();
                realTimes_[r.run_name.function_name] = r.GetAdjustedRealTime();
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const char* name : {"fill", "fullview", "oneunit", "zoom"}) {
            const std::string n(name);
            if (times_.count(n + "_ours") && times_.count(n + "_peer")) {
                std::printf("ratio %-9s peer/ours = %.2fx\n", name,
                            times_[n + "_peer"] / times_[n + "_ours"]);
            }
        }
        if (times_.count("hover_ours")) {
            std::printf("hover at full view = %.3f ms CPU, %.3f ms real (goal at most 2 ms)\n",
                        times_["hover_ours"], realTimes_["hover_ours"]);
        }
        if (times_.count("wheel_ours") && times_.count("fullview_ours")) {
            std::printf("wheel step / full-view redraw = %.2f (goal at most 1.5)\n",
                        times_["wheel_ours"] / times_["fullview_ours"]);
        }
    }

private:
    std::map<std::string, double> times_, realTimes_;
};

} // namespace

// Repeated and interleaved, ratios from the medians.
BENCHMARK(fill_ours)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(fill_peer)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(fullview_ours)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(fullview_peer)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(oneunit_ours)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(oneunit_peer)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(zoom_ours)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(zoom_peer)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(hover_ours)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(wheel_ours)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(reduce_only)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    RatioReporter reporter;
    const int rc = veltrano::bench::runInterleaved(argc, argv, reporter);
    g_peer.reset();
    g_ours.reset();
    return rc;
}
