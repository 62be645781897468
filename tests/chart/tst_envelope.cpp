#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <vector>

#include <QTest>

#include "chart/envelope.h"

using veltrano::Envelope;

namespace {

struct Series {
    std::vector<float> t;
    std::vector<float> v;
};

// Times rise in steps of 1 with runs of equal times; values wander with single-sample
// spikes. backJumps > 0 lets time go back that many times.
Series makeSeries(std::size_t n, unsigned seed, int backJumps = 0) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
    std::uniform_int_distribution<int> pick(0, 99);
    Series s;
    s.t.resize(n);
    s.v.resize(n);
    float t = 0, v = 12.5f;
    for (std::size_t i = 0; i < n; ++i) {
        if (pick(rng) >= 10) {
            t += 1.0f;
        }
        v += noise(rng);
        s.t[i] = t;
        const int p = pick(rng);
        s.v[i] = p == 0 ? v + 6.0f : p == 1 ? v - 6.0f : v;
    }
    for (int j = 0; j < backJumps && n > 2; ++j) {
        const std::size_t at = 1 + rng() % (n - 1);
        const float back = float(rng() % (at + 1));
        for (std::size_t i = at; i < n; ++i) {
            s.t[i] -= back;
        }
    }
    return s;
}

struct Column {
    float min = INFINITY, max = -INFINITY;
    double firstT = 0, firstV = 0, lastT = 0, lastV = 0;
    bool any = false;
};

long long columnOf(double t, double lo, double hi, int columns) {
    return (long long)std::floor((t - lo) * (columns / (hi - lo)));
}

} // namespace

class EnvelopeTest : public QObject {
    Q_OBJECT
private slots:
    void cellsHoldExactMinMax_data();
    void cellsHoldExactMinMax();
    void rangeQueriesMatchBruteForce_data();
    void rangeQueriesMatchBruteForce();
    void drawnColumnsMatchBruteForce_data();
    void drawnColumnsMatchBruteForce();
    void timeGoingBackLosesNoExtreme();
    void stretchesAndMissingValuesMatchBruteForce();
    void lineExtentMatchesBruteForce_data();
    void lineExtentMatchesBruteForce();
    void memoryStaysSmall();
};

void EnvelopeTest::cellsHoldExactMinMax_data() {
    QTest::addColumn<int>("n");
    for (int n : {1, 15, 16, 17, 33, 1000, 65537}) {
        QTest::addRow("%d samples", n) << n;
    }
}

void EnvelopeTest::cellsHoldExactMinMax() {
    QFETCH(int, n);
    const Series s = makeSeries(n, 7u * n);
    Envelope env;
    env.build(s.t.data(), s.v.data(), s.t.size());
    QVERIFY(env.levelCount() >= 1);
    QCOMPARE(env.level(env.levelCount() - 1).size(), std::size_t(1));
    std::size_t span = Envelope::kLeafSize;
    for (std::size_t lv = 0; lv < env.levelCount(); ++lv, span *= 2) {
        const auto cells = env.level(lv);
        QCOMPARE(cells.size(), (std::size_t(n) + span - 1) / span);
        for (std::size_t j = 0; j < cells.size(); ++j) {
            const auto b = s.v.begin() + j * span;
            const auto e = s.v.begin() + std::min<std::size_t>(n, (j + 1) * span);
            const auto [mn, mx] = std::minmax_element(b, e);
            QCOMPARE(cells[j].min, *mn);
            QCOMPARE(cells[j].max, *mx);
        }
    }
}

void EnvelopeTest::rangeQueriesMatchBruteForce_data() {
    cellsHoldExactMinMax_data();
}

void EnvelopeTest::rangeQueriesMatchBruteForce() {
    QFETCH(int, n);
    const Series s = makeSeries(n, 11u * n);
    Envelope env;
    env.build(s.t.data(), s.v.data(), s.t.size());
    std::mt19937 rng(n);
    for (int q = 0; q < 300; ++q) {
        std::size_t a = rng() % n, b = rng() % n;
        if (a > b) {
            std::swap(a, b);
        }
        ++b;
        const auto [mn, mx] = std::minmax_element(s.v.begin() + a, s.v.begin() + b);
        const auto r = env.rangeMinMax(a, b);
        QCOMPARE(r.min, *mn);
        QCOMPARE(r.max, *mx);
    }
}

void EnvelopeTest::drawnColumnsMatchBruteForce_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("columns");
    QTest::addColumn<double>("from"); // view, as fractions of the time span
    QTest::addColumn<double>("to");
    QTest::newRow("full view, thousands per column") << 200000 << 640 << 0.0 << 1.0;
    QTest::newRow("zoomed inside, dozens per column") << 200000 << 640 << 0.31 << 0.4;
    QTest::newRow("deep zoom, raw samples") << 200000 << 640 << 0.5 << 0.5005;
    QTest::newRow("view wider than the data") << 5000 << 300 << -0.5 << 1.7;
    QTest::newRow("view left of the data") << 5000 << 300 << -2.0 << -1.0;
    QTest::newRow("odd widths") << 12345 << 7 << 0.123 << 0.877;
    QTest::newRow("one column") << 3000 << 1 << 0.0 << 1.0;
}

void EnvelopeTest::drawnColumnsMatchBruteForce() {
    QFETCH(int, n);
    QFETCH(int, columns);
    QFETCH(double, from);
    QFETCH(double, to);
    const Series s = makeSeries(n, 3u * n + columns);
    Envelope env;
    env.build(s.t.data(), s.v.data(), s.t.size());
    QCOMPARE(env.runStarts().size(), std::size_t(1));
    const double span = s.t.back() - s.t.front();
    const double lo = s.t.front() + from * span, hi = s.t.front() + to * span;

    std::map<long long, Column> expected;
    long long before = -1, after = -1; // last sample left of the view, first right of it
    for (int i = 0; i < n; ++i) {
        const long long c = columnOf(s.t[i], lo, hi, columns);
        if (c < 0) {
            before = i;
            continue;
        }
        if (c >= columns) {
            if (after < 0) {
                after = i;
            }
            continue;
        }
        Column& col = expected[c];
        if (!col.any) {
            col.firstT = s.t[i];
            col.firstV = s.v[i];
            col.any = true;
        }
        col.lastT = s.t[i];
        col.lastV = s.v[i];
        col.min = std::min(col.min, s.v[i]);
        col.max = std::max(col.max, s.v[i]);
    }

    std::vector<Envelope::Point> out;
    env.reduce(lo, hi, columns, out);
    std::map<long long, Column> drawn;
    bool sawBefore = false, sawAfter = false;
    for (std::size_t k = 0; k < out.size(); ++k) {
        const auto& p = out[k];
        const long long c = columnOf(p.time, lo, hi, columns);
        if (c < 0 || c >= columns) {
            sawBefore |= before >= 0 && p.time == s.t[before] && p.value == s.v[before];
            sawAfter |= after >= 0 && p.time == s.t[after] && p.value == s.v[after];
            continue;
        }
        Column& col = drawn[c];
        if (!col.any) {
            col.firstT = p.time;
            col.firstV = p.value;
            col.any = true;
        }
        col.lastT = p.time;
        col.lastV = p.value;
        col.min = std::min(col.min, float(p.value));
        col.max = std::max(col.max, float(p.value));
    }
    QCOMPARE(drawn.size(), expected.size());
    for (const auto& [c, e] : expected) {
        const Column& d = drawn[c];
        QVERIFY2(d.min == e.min && d.max == e.max, qPrintable(QString("column %1").arg(c)));
        QCOMPARE(d.firstT, e.firstT);
        QCOMPARE(d.firstV, e.firstV);
        QCOMPARE(d.lastT, e.lastT);
        QCOMPARE(d.lastV, e.lastV);
    }
    QCOMPARE(sawBefore, before >= 0);
    QCOMPARE(sawAfter, after >= 0);
    // Few points: at most four per column plus the line ends outside the view.
    QVERIFY(out.size() <= 4 * expected.size() + 4);
}

// Time going back at the first sample, in every position of the blocks the search looks at
// together and at the very end; values that are no number never become a cell's extreme.
void EnvelopeTest::stretchesAndMissingValuesMatchBruteForce() {
    for (const std::size_t n : {2u, 9u, 17u, 40u, 1001u}) {
        Series s = makeSeries(n, unsigned(n), 0);
        for (std::size_t i = 1; i < n; i += 1 + i % 7)
            s.t[i] = s.t[i - 1] - 1.0f;
        s.t[n - 1] = -100.0f;
        for (std::size_t i = 0; i < n; i += 5)
            s.v[i] = NAN;
        Envelope env;
        env.build(s.t.data(), s.v.data(), n);
        std::vector<std::size_t> starts{0};
        for (std::size_t i = 1; i < n; ++i)
            if (s.t[i] < s.t[i - 1])
                starts.push_back(i);
        const auto runs = env.runStarts();
        QCOMPARE(std::vector<std::size_t>(runs.begin(), runs.end()), starts);
        const auto leaves = env.level(0);
        for (std::size_t j = 0; j < leaves.size(); ++j) {
            float mn = INFINITY, mx = -INFINITY;
            for (std::size_t i = j * Envelope::kLeafSize;
                 i < std::min(n, (j + 1) * Envelope::kLeafSize); ++i)
                if (!std::isnan(s.v[i])) {
                    mn = std::min(mn, s.v[i]);
                    mx = std::max(mx, s.v[i]);
                }
            QCOMPARE(leaves[j].min, mn);
            QCOMPARE(leaves[j].max, mx);
        }
    }
}

void EnvelopeTest::timeGoingBackLosesNoExtreme() {
    const int n = 50000, columns = 400;
    const Series s = makeSeries(n, 99, 5);
    Envelope env;
    env.build(s.t.data(), s.v.data(), s.t.size());
    QVERIFY(env.runStarts().size() > 1);
    double lo, hi;
    QVERIFY(env.timeExtent(lo, hi));
    QCOMPARE(lo, double(*std::min_element(s.t.begin(), s.t.end())));
    QCOMPARE(hi, double(*std::max_element(s.t.begin(), s.t.end())));

    std::map<long long, std::pair<float, float>> expected, drawn;
    auto add = [&](auto& m, double t, float v) {
        const long long c = columnOf(t, lo, hi, columns);
        if (c < 0 || c >= columns) {
            return;
        }
        auto [it, fresh] = m.try_emplace(c, v, v);
        it->second.first = std::min(it->second.first, v);
        it->second.second = std::max(it->second.second, v);
    };
    for (int i = 0; i < n; ++i) {
        add(expected, s.t[i], s.v[i]);
    }
    std::vector<Envelope::Point> out;
    env.reduce(lo, hi, columns, out);
    for (const auto& p : out) {
        add(drawn, p.time, float(p.value));
    }
    QCOMPARE(drawn, expected);
}

void EnvelopeTest::lineExtentMatchesBruteForce_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("backJumps");
    QTest::newRow("one stretch") << 20000 << 0;
    QTest::newRow("time going back") << 20000 << 4;
    QTest::newRow("three samples") << 3 << 0;
    QTest::newRow("one sample") << 1 << 0;
}

// The line through the samples within [lo, hi]: samples inside and the segments' values
// where they cross lo and hi, stretch by stretch.
void EnvelopeTest::lineExtentMatchesBruteForce() {
    QFETCH(int, n);
    QFETCH(int, backJumps);
    const Series s = makeSeries(n, 7u * n + backJumps, backJumps);
    Envelope env;
    env.build(s.t.data(), s.v.data(), s.t.size());
    const auto [tMin, tMax] = std::minmax_element(s.t.begin(), s.t.end());
    const double span = std::max(1.0, double(*tMax - *tMin));
    std::mt19937 rng(n);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int q = 0; q < 400; ++q) {
        const double lo = *tMin - 0.1 * span + 1.2 * span * unit(rng);
        const double hi = lo + span * std::pow(10.0, -4 * unit(rng));
        double mn = INFINITY, mx = -INFINITY;
        auto take = [&](double v) {
            mn = std::min(mn, v);
            mx = std::max(mx, v);
        };
        for (int i = 0; i < n; ++i) {
            if (s.t[i] >= lo && s.t[i] <= hi) {
                take(s.v[i]);
            }
            if (i == 0 || s.t[i] < s.t[i - 1]) {
                continue; // a new stretch: no segment back in time
            }
            const double t0 = s.t[i - 1], t1 = s.t[i], v0 = s.v[i - 1], v1 = s.v[i];
            for (double edge : {lo, hi}) {
                if (t0 < edge && edge < t1) {
                    take(v0 + (v1 - v0) * (edge - t0) / (t1 - t0));
                }
            }
        }
        const Envelope::Range r = env.lineExtent(lo, hi);
        const QString where = QString("window %1 .. %2").arg(lo).arg(hi);
        if (mn > mx) {
            QVERIFY2(r.min > r.max, qPrintable(where));
            continue;
        }
        QVERIFY2(std::abs(r.min - mn) < 1e-4 && std::abs(r.max - mx) < 1e-4, qPrintable(where));
    }
}

void EnvelopeTest::memoryStaysSmall() {
    const std::size_t n = 1 << 20;
    const Series s = makeSeries(n, 5);
    Envelope env;
    env.build(s.t.data(), s.v.data(), n);
    const std::size_t arrays = n * (sizeof(float) * 2);
    QVERIFY2(env.memoryBytes() * 4 < arrays, qPrintable(QString::number(env.memoryBytes())));
}

QTEST_GUILESS_MAIN(EnvelopeTest)
#include "tst_envelope.moc"
