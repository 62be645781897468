#include <algorithm>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

#include "app/configurationwindow.h"
#include "app/donotunplugnotice.h"
#include "app/uiseams.h"
#include "chart/chartview.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {

// 100 s at 12 V, 400 s over the limit at 13 V, 100 s at 12 V: one event.
ImageBuilder oneEvent() {
    ImageBuilder b;
    b.recording(2, 1).temperature(20).voltage(12.0, 100).voltage(13.0, 400).voltage(12.0, 100);
    b.done();
    return b;
}

QAccessibleInterface* accessible(QObject* object) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(object);
    if (!i)
        qFatal("no accessible interface");
    return i;
}

QString accessibleName(QObject* object) {
    return accessible(object)->text(QAccessible::Name);
}

QString accessibleDescription(QObject* object) {
    return accessible(object)->text(QAccessible::Description);
}

// Every node under `root` as assistive technology walks it. A list's drop-down belongs to the
// list and is left out.
void collect(QAccessibleInterface* node, QList<QAccessibleInterface*>& nodes) {
    nodes << node;
    if (node->role() == QAccessible::ComboBox)
        return;
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface* child = node->child(i))
            collect(child, nodes);
}

bool isInput(QAccessible::Role role) {
    return role == QAccessible::EditableText || role == QAccessible::ComboBox ||
           role == QAccessible::SpinBox || role == QAccessible::Table;
}

bool needsName(QAccessible::Role role) {
    return isInput(role) || role == QAccessible::Button || role == QAccessible::RadioButton ||
           role == QAccessible::CheckBox || role == QAccessible::ProgressBar ||
           role == QAccessible::List;
}

QString where(QAccessibleInterface* node) {
    QObject* o = node->object();
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(o ? QString::fromLatin1(o->metaObject()->className()) : QStringLiteral("-"),
             o ? o->objectName() : QString(), node->text(QAccessible::Value));
}

// The window as built: before a run, after one (the paging buttons carry the unit then), and
// the two other windows.
enum class Window { MainAtStart, MainAfterRun, Configuration, Notice };

} // namespace

Q_DECLARE_METATYPE(Window)

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
        QAccessible::setActive(true);
    }

    void everyControlHasItsOwnName_data() {
        QTest::addColumn<Window>("window");
        QTest::newRow("main window at start") << Window::MainAtStart;
        QTest::newRow("main window after a run") << Window::MainAfterRun;
        QTest::newRow("configuration window") << Window::Configuration;
        QTest::newRow("notice window") << Window::Notice;
    }

    // Each input, list, picker, button and progress bar has a name, and no two inputs of a
    // window share one. The captions keep their texts: no mnemonic was added to any.
    void everyControlHasItsOwnName() {
        QFETCH(Window, window);
        WindowFixture w;
        ConfigurationWindow configuration;
        DoNotUnplugNotice notice;
        QWidget* shown = &w.form;
        if (window == Window::MainAfterRun) {
            w.open(oneEvent());
            w.process();
            w.form.runOutBars();
            QCOMPARE(w.button("nextPageButton")->text(), QString("Volgende minuut"));
        } else if (window == Window::Configuration) {
            shown = &configuration;
        } else if (window == Window::Notice) {
            shown = &notice;
        }

        QList<QAccessibleInterface*> nodes;
        collect(accessible(shown), nodes);
        QVERIFY(!nodes.first()->text(QAccessible::Name).isEmpty());
        QStringList unnamed;
        QMap<QString, QString> inputs; // name -> the first input with it
        QStringList shared;
        int checked = 0;
        for (QAccessibleInterface* node : nodes) {
            if (!needsName(node->role()))
                continue;
            ++checked;
            const QString name = node->text(QAccessible::Name).trimmed();
            if (name.isEmpty())
                unnamed << where(node);
            if (!isInput(node->role()) || name.isEmpty())
                continue;
            if (inputs.contains(name))
                shared << name + QStringLiteral(": ") + inputs[name] + QStringLiteral(" and ") +
                              where(node);
            inputs.insert(name, where(node));
        }
        QVERIFY(checked > 0);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join('\n')));
        QVERIFY2(shared.isEmpty(), qPrintable(shared.join('\n')));

        QStringList ampersands;
        for (const QLabel* label : shown->findChildren<QLabel*>())
            if (label->text().contains('&'))
                ampersands << label->text();
        for (const QAbstractButton* button : shown->findChildren<QAbstractButton*>())
            if (button->text().contains('&'))
                ampersands << button->text();
        QVERIFY2(ampersands.isEmpty(), qPrintable(ampersands.join('\n')));
    }

    void controlsAreNamedAsTheySay_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("labelled"); // a visible label tells its name
        QTest::newRow("Vanaf") << "fromEdit"
                               << "Vanaf" << true;
        QTest::newRow("Tot") << "toEdit"
                             << "Tot" << true;
        QTest::newRow("event number") << "eventNumberEdit"
                                      << "Calamiteit nummer" << false;
        QTest::newRow("start date") << "connectionPicker"
                                    << "Datum aansluiting" << true;
        QTest::newRow("end date") << "disconnectionPicker"
                                  << "Datum loskoppeling" << true;
        QTest::newRow("voltage filter") << "voltageTimeFilterEdit"
                                        << "Tijdfilter spanning" << true;
        QTest::newRow("voltage filter unit") << "voltageTimeFilterUnitList"
                                             << "Tijdfilter spanning eenheid" << false;
        QTest::newRow("temperature filter unit") << "temperatureTimeFilterUnitList"
                                                 << "Tijdfilter temperatuur eenheid" << false;
        QTest::newRow("report") << "reportBox"
                                << "Calamiteiten overzicht" << true;
        QTest::newRow("download bar") << "downloadBar"
                                      << "Voortgang ophalen" << false;
        QTest::newRow("erase bar") << "eraseBar"
                                   << "Voortgang wissen" << false;
        QTest::newRow("processing bar") << "processingBar"
                                        << "Voortgang verwerken" << false;
        QTest::newRow("logo") << "logo"
                              << "Over Veltrano" << false;
    }

    // The names, and the labels tied to what they name, which is how assistive
    // technology on Linux finds a control's label.
    void controlsAreNamedAsTheySay() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(bool, labelled);
        WindowFixture w;
        QObject* widget = testing::control(w.form, qPrintable(control));
        QCOMPARE(accessibleName(widget), name);
        const auto labels = accessible(widget)->relations(QAccessible::Label);
        const bool byLabel = std::any_of(labels.begin(), labels.end(), [&](const auto& relation) {
            return relation.first->role() == QAccessible::StaticText &&
                   relation.first->text(QAccessible::Name) == name;
        });
        QCOMPARE(byLabel, labelled);
    }

    // A unit list keeps its name when its entry changes; the entry is its value.
    void aListsEntryIsItsValue() {
        WindowFixture w;
        auto* list = control<QComboBox>(w.form, "temperatureTimeFilterUnitList");
        QCOMPARE(accessible(list)->role(), QAccessible::ComboBox);
        QCOMPARE(accessible(list)->text(QAccessible::Value), QString("minuten"));
        list->setCurrentIndex(2);
        QCOMPARE(accessible(list)->text(QAccessible::Value), QString("dagen"));
        QCOMPARE(accessibleName(list), QString("Tijdfilter temperatuur eenheid"));
        // The drop-down is still there for the screen reader.
        QCOMPARE(accessible(list)->childCount(), 1);
        QCOMPARE(accessible(list)->child(0)->childCount(), 3);
    }

    // Controls that share a caption, and the chart and the report, say what they are for.
    void sharedCaptionsAreToldApart() {
        WindowFixture w;
        const QList<std::pair<const char*, const char*>> sharing{
            {"previousPageButton", "previousEventButton"},
            {"nextPageButton", "nextEventButton"},
            {"printReportButton", "reportLabel"},
        };
        for (const auto& [one, other] : sharing) {
            QObject* a = control(w.form, one);
            QObject* b = control(w.form, other);
            QCOMPARE(accessibleName(a), accessibleName(b));
            QVERIFY2(!accessibleDescription(a).isEmpty(), one);
            QVERIFY2(accessibleDescription(a) != accessibleDescription(b), one);
        }
        QVERIFY(!accessibleDescription(w.form.chart()->plot()).isEmpty());
        QVERIFY(!accessibleName(w.form.chart()->plot()).isEmpty());
        QVERIFY(!accessibleDescription(w.reportBox()).isEmpty());
    }

    // In the duration table the same interval heads a row (voltage) and a column
    // (temperature); its header cells say which, and every body cell names both.
    void durationTableHeadersSayWhatTheyHead() {
        ConfigurationWindow form;
        QAccessibleTableInterface* table =
            accessible(form.findChild<QTableWidget*>("durationTable"))->tableInterface();
        QVERIFY(table);
        // The interfaces belong to Qt's cache.
        auto cell = [&](int r, int c) { return table->cellAt(r, c); };
        QCOMPARE(cell(0, 1)->text(QAccessible::Name), QString("Temperatuur 30 sec"));
        QCOMPARE(cell(6, 0)->text(QAccessible::Name), QString("Spanning 30 sec"));
        QCOMPARE(cell(3, 0)->text(QAccessible::Name), QString("Spanning 5 sec"));
        QVERIFY(!cell(0, 0)->text(QAccessible::Name).isEmpty());
        QCOMPARE(cell(2, 1)->text(QAccessible::Description),
                 QString("Spanning 1 sec, temperatuur 30 sec"));
        // The visible texts stay as designed.
        QCOMPARE(form.findChild<QTableWidget*>("durationTable")->item(3, 0)->text(),
                 QString("5 sec "));
        const auto headers = cell(2, 1)->tableCellInterface()->columnHeaderCells();
        QCOMPARE(headers.size(), qsizetype(1));
        QCOMPARE(headers.first()->text(QAccessible::Name), QString("Temperatuur 30 sec"));
    }

    void messageBoxesHaveTitleAndText_data() {
        QTest::addColumn<bool>("question");
        QTest::newRow("information") << false;
        QTest::newRow("question") << true;
    }

    // The real message boxes: the screen reader gets the title and the whole text.
    void messageBoxesHaveTitleAndText() {
        QFETCH(bool, question);
        const QString text = QStringLiteral("Vanaf waarde moet kleiner zijn dan de tot waarde");
        DesktopSeams seams;
        QWidget parent;
        QString name;
        QStringList texts;
        QTimer::singleShot(0, &parent, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            name = accessibleName(box);
            QList<QAccessibleInterface*> nodes;
            collect(accessible(box), nodes);
            for (QAccessibleInterface* node : nodes)
                for (QAccessible::Text t :
                     {QAccessible::Name, QAccessible::Value, QAccessible::Description})
                    texts << node->text(t);
            box->button(question ? QMessageBox::Yes : QMessageBox::Ok)->click();
        });
        if (question)
            QVERIFY(seams.question(&parent, text));
        else
            seams.information(&parent, text);
        QCOMPARE(name, QString("Veltrano"));
        QVERIFY2(texts.contains(text), qPrintable(texts.join('|')));
    }

    void printDialogsHaveATitle_data() {
        QTest::addColumn<bool>("preview");
        QTest::newRow("print dialog") << false;
        QTest::newRow("print preview") << true;
    }

    // The real print dialogs open modal with a title for the screen reader; cancelled, they
    // print nothing.
    void printDialogsHaveATitle() {
        QFETCH(bool, preview);
        DesktopSeams seams;
        QWidget parent;
        QPrinter printer;
        QString title;
        QString name;
        bool painted = false;
        QTimer::singleShot(0, &parent, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            title = dialog->windowTitle();
            name = accessibleName(dialog);
            qobject_cast<QDialog*>(dialog)->reject();
        });
        if (preview) {
            seams.printPreview(&parent, printer, [&](QPrinter*) { painted = true; });
            QVERIFY(painted);
        } else {
            QVERIFY(!seams.printDialog(&parent, printer));
        }
        QVERIFY(!title.isEmpty());
        QCOMPARE(name, title);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
