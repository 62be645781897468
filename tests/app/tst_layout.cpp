#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionFrame>
#include <QTableWidget>
#include <QTest>

#include "app/configurationwindow.h"
#include "app/logoview.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {

QString describe(const QWidget* w) {
    QString name = w->objectName();
    if (name.isEmpty()) {
        if (const auto* b = qobject_cast<const QAbstractButton*>(w))
            name = '"' + b->text() + '"';
        else if (const auto* l = qobject_cast<const QLabel*>(w))
            name = '"' + l->text() + '"';
        else if (const auto* g = qobject_cast<const QGroupBox*>(w))
            name = '"' + g->title() + '"';
    }
    const QRect g = w->geometry();
    return QStringLiteral("%1 %2 (%3,%4 %5x%6)")
        .arg(QString::fromLatin1(w->metaObject()->className()), name)
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height());
}

// Width a line edit has for its text, inside its frame and the 2 pixels it keeps clear on
// either side.
int textRoom(const QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QRect contents =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    return contents.marginsRemoved(edit->textMargins()).width() - 2 * 2;
}

// A control smaller than its own minimum cuts off its caption, its text or its frame.
QString squashed(const QWidget* w) {
    const bool shapedByContent =
        qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
        qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QGroupBox*>(w) ||
        qobject_cast<const QLineEdit*>(w) || qobject_cast<const LogoView*>(w) ||
        (qobject_cast<const QLabel*>(w) && !qobject_cast<const QLabel*>(w)->wordWrap());
    if (!shapedByContent)
        return {};
    const QSize least = w->minimumSizeHint();
    if (w->width() < least.width() || w->height() < least.height())
        return QStringLiteral("%1 is smaller than %2x%3")
            .arg(describe(w))
            .arg(least.width())
            .arg(least.height());
    if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
        const int need = edit->fontMetrics().horizontalAdvance(edit->text());
        if (need > textRoom(edit))
            return QStringLiteral("%1 cuts off \"%2\"").arg(describe(w), edit->text());
    }
    return {};
}

// Every cell of a table lies inside its view and shows its whole text.
QStringList cellFaults(const QTableWidget* table) {
    QStringList faults;
    const QRect view = table->viewport()->rect();
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < table->columnCount(); ++c) {
            const QRect cell = table->visualItemRect(table->item(r, c));
            const QString text = table->item(r, c)->text();
            if (!view.contains(cell))
                faults << QStringLiteral("cell %1,%2 lies outside the table").arg(r).arg(c);
            else if (table->fontMetrics().horizontalAdvance(text) + 4 > cell.width())
                faults << QStringLiteral("cell %1,%2 cuts off \"%3\"").arg(r).arg(c).arg(text);
        }
    }
    return faults;
}

// The inner parts of these belong to Qt, which lays them out and scrolls them itself.
bool hasOwnLayout(const QWidget* w) {
    return (qobject_cast<const QAbstractScrollArea*>(w) && !qobject_cast<const QScrollArea*>(w)) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

// Every visible control lies inside its parent (so inside the window) and has at least the
// room it asks for.
void findFaults(const QWidget* parent, const QWidget* window, QStringList& faults) {
    for (const QObject* child : parent->children()) {
        const auto* w = qobject_cast<const QWidget*>(child);
        if (!w || w->isWindow() || !w->isVisibleTo(window))
            continue;
        if (!parent->rect().contains(w->geometry()))
            faults << QStringLiteral("%1 sticks out of %2").arg(describe(w), describe(parent));
        if (const QString s = squashed(w); !s.isEmpty())
            faults << s;
        if (const auto* table = qobject_cast<const QTableWidget*>(w))
            faults << cellFaults(table);
        if (!hasOwnLayout(w))
            findFaults(w, window, faults);
    }
}

QStringList layoutFaults(QWidget* window, QSize size) {
    QStringList faults;
    window->resize(size);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return {QStringLiteral("window not shown")};
    QApplication::processEvents();
    if (window->size() != size)
        faults << QStringLiteral("window is %1x%2").arg(window->width()).arg(window->height());

    QWidget* content = window;
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        auto* scroll = qobject_cast<QScrollArea*>(main->centralWidget());
        if (!scroll)
            return {QStringLiteral("no scroll area")};
        content = scroll->widget();
        if (scroll->horizontalScrollBar()->isVisible())
            faults << QStringLiteral("horizontal scroll bar shown");
        if (scroll->verticalScrollBar()->isVisible())
            faults << QStringLiteral("vertical scroll bar shown");
    }
    const QSize least = content->minimumSizeHint().expandedTo(content->minimumSize());
    if (least.width() > size.width() || least.height() > size.height())
        faults << QStringLiteral("content needs %1x%2").arg(least.width()).arg(least.height());
    findFaults(window, window, faults);
    return faults;
}

void useFont(const QString& family) {
    QFont font(family);
    font.setPointSize(10);
    QApplication::setFont(font);
}

// A few hours at 1 s with an over- and an under-voltage spell: enough for a report and a chart.
ImageBuilder shortRecording() {
    ImageBuilder b;
    b.recording(2, 1).temperature(20).voltage(12.4, 600);
    b.temperature(31).voltage(13.2, 900).temperature(22).voltage(12.4, 600);
    b.temperature(-4).voltage(11.5, 900).temperature(18).voltage(12.4, 600);
    b.done();
    return b;
}

// A run in "Seconden", which gives the paging buttons their longest captions, with the
// chart drawn.
void processInSeconds(WindowFixture& w) {
    w.timeUnits()->button(0)->setChecked(true);
    w.open(shortRecording());
    w.process();
    w.form.runOutBars();
    QVERIFY(control(w.form, "navigationGroup")->isEnabled());
    QCOMPARE(w.button("nextPageButton")->text(), QString("Volgende seconde"));
    QVERIFY(w.reportBox()->document()->blockCount() > 20);
}

void addLaptopRows() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("afterRun");
    for (const char* family : {"DejaVu Sans", "Liberation Sans"})
        for (QSize size : {QSize(1280, 740), QSize(1366, 728)})
            for (bool afterRun : {false, true})
                QTest::addRow("%s %dx%d %s", family, size.width(), size.height(),
                              afterRun ? "na run" : "bij start")
                    << QString::fromLatin1(family) << size << afterRun;
}

} // namespace

// The windows on laptop screens: everything visible without scrolling in the work area of a
// 1280x800 and a 1366x768 screen, with the desktop's usual fonts at 10 points.
class TestLayout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
        for (const char* family : {"DejaVu Sans", "Liberation Sans"})
            QVERIFY2(QFontInfo(QFont(QString::fromLatin1(family))).family() == family, family);
        // Sizes are logical pixels; a scale factor only changes the device pixels.
        bool scaled = false;
        const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&scaled);
        QCOMPARE(qApp->devicePixelRatio(), scaled ? factor : 1.0);
    }

    void mainWindowFits_data() { addLaptopRows(); }
    void mainWindowFits() {
        QFETCH(QString, family);
        QFETCH(QSize, size);
        QFETCH(bool, afterRun);
        useFont(family);
        WindowFixture w;
        if (afterRun)
            processInSeconds(w);
        const QStringList faults = layoutFaults(&w.form, size);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // With the widest table, in seconds.
    void configurationWindowFits_data() { addLaptopRows(); }
    void configurationWindowFits() {
        QFETCH(QString, family);
        QFETCH(QSize, size);
        useFont(family);
        ConfigurationWindow form;
        QCOMPARE(form.shownTableUnit(), 0);
        QCOMPARE(form.findChild<QTableWidget*>("durationTable")->item(8, 6)->text(),
                 QString("2.157.070.800"));
        for (QSize shown : {form.sizeHint(), size}) {
            const QStringList faults = layoutFaults(&form, shown);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        }
    }

    // On a large screen the chart and the report take the extra room; buttons, edits and
    // lists keep the size they have on a laptop.
    void largeScreens_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1920x1080") << QSize(1920, 1080 - 40);
        QTest::newRow("2560x1440") << QSize(2560, 1440 - 40);
    }
    void largeScreens() {
        QFETCH(QSize, size);
        useFont(QStringLiteral("DejaVu Sans"));
        WindowFixture w;
        const QSize laptop(1366, 728);
        QVERIFY(layoutFaults(&w.form, laptop).isEmpty());
        const QList<QWidget*> controls = w.form.findChildren<QWidget*>();
        QHash<QWidget*, QSize> before;
        for (QWidget* c : controls)
            before.insert(c, c->size());

        const QStringList faults = layoutFaults(&w.form, size);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        const QSize extra = size - laptop;
        const QSize chartGrew = control(w.form, "chart")->size() - before[control(w.form, "chart")];
        const QSize reportGrew = w.reportBox()->size() - before[w.reportBox()];
        QVERIFY2(chartGrew.width() + reportGrew.width() >= extra.width() - 2,
                 qPrintable(QStringLiteral("chart +%1, report +%2 of +%3")
                                .arg(chartGrew.width())
                                .arg(reportGrew.width())
                                .arg(extra.width())));
        QVERIFY(chartGrew.width() > 2 * reportGrew.width());
        QVERIFY(chartGrew.height() >= extra.height() - 2);
        QVERIFY(reportGrew.height() >= extra.height() - 2);

        QStringList stretched;
        for (QWidget* c : controls) {
            // The logo is a button, but the column gives it its width.
            const bool sizedByContent =
                (qobject_cast<QAbstractButton*>(c) && !qobject_cast<LogoView*>(c)) ||
                qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) ||
                qobject_cast<QAbstractSpinBox*>(c);
            if (!sizedByContent || !c->isVisibleTo(&w.form) || hasOwnLayout(c->parentWidget()))
                continue;
            const QSize allowed = before[c].expandedTo(c->sizeHint());
            if (c->width() > allowed.width() || c->height() > allowed.height())
                stretched << QStringLiteral("%1, was %2x%3")
                                 .arg(describe(c))
                                 .arg(before[c].width())
                                 .arg(before[c].height());
        }
        QVERIFY2(stretched.isEmpty(), qPrintable(stretched.join('\n')));
    }

    // Short of height, the logo gives way before the window needs a scroll bar.
    void logoShrinksOnShortScreens() {
        useFont(QStringLiteral("DejaVu Sans"));
        WindowFixture w;
        const QStringList faults = layoutFaults(&w.form, QSize(1366, 560));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        const QWidget* logo = control(w.form, "logo");
        QVERIFY(logo->height() < logo->sizeHint().height());
    }

    // A screen smaller than that: the window scrolls rather than squeezing its controls.
    void smallerScreenScrolls() {
        useFont(QStringLiteral("DejaVu Sans"));
        WindowFixture w;
        const QStringList faults = layoutFaults(&w.form, QSize(1024, 480));
        QVERIFY(faults.contains("horizontal scroll bar shown"));
        QVERIFY(faults.contains("vertical scroll bar shown"));
        const auto* scroll = qobject_cast<QScrollArea*>(w.form.centralWidget());
        QStringList squeezed;
        findFaults(scroll->widget(), &w.form, squeezed);
        QVERIFY2(squeezed.isEmpty(), qPrintable(squeezed.join('\n')));
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
