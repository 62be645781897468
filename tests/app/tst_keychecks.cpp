#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QTest>

#include "app/keychecks.h"
#include "chart/navigation.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

Q_DECLARE_METATYPE(veltrano::KeyVerdict)
Q_DECLARE_METATYPE(veltrano::NumberKeyRule)

namespace {

const QLocale kComma(QLocale::Dutch, QLocale::Netherlands);
const QLocale kPoint(QLocale::English, QLocale::UnitedStates);

// Types into an edit: '^' is the Home key, '\b' backspace, every other character a key
// press carrying that text.
void type(QLineEdit* edit, const QString& keys) {
    for (const QChar c : keys) {
        if (c == '^') {
            QTest::keyClick(edit, Qt::Key_Home);
        } else if (c == '\b') {
            QTest::keyClick(edit, Qt::Key_Backspace);
        } else {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
            QApplication::sendEvent(edit, &release);
        }
    }
}

} // namespace

class TestKeyChecks : public QObject {
    Q_OBJECT

private slots:
    void numberKey_data() {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<NumberKeyRule>("rule");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<uint>("key");
        QTest::addColumn<KeyVerdict>("verdict");
        const auto Limit = NumberKeyRule::Limit;
        const auto Over = NumberKeyRule::LimitWithEnter;
        const auto Range = NumberKeyRule::Range;
        const auto Accept = KeyVerdict::Accept;
        const auto Discard = KeyVerdict::Discard;
        const auto Message = KeyVerdict::DiscardWithMessage;

        for (const QString& sep : {QStringLiteral(","), QStringLiteral(".")}) {
            const uint s = sep[0].unicode();
            const uint other = sep == "," ? '.' : ',';
            const auto row = [&sep](const char* name) -> QTestData& {
                return QTest::addRow("%s %s", qPrintable(sep), name);
            };
            row("digit") << sep << Limit << "12" << 2 << uint('7') << Accept;
            row("separator") << sep << Limit << "12" << 2 << s << Accept;
            row("second separator") << sep << Limit << "1" + sep + "5" << 3 << s << Discard;
            row("second separator, Range") << sep << Range << sep + "5" << 0 << s << Discard;
            row("the other mark") << sep << Limit << "12" << 2 << other << Discard;
            row("minus into empty") << sep << Limit << "" << 0 << uint('-') << Accept;
            row("minus at start") << sep << Limit << "5" << 0 << uint('-') << Accept;
            row("second minus at start, silent")
                << sep << Limit << "-5" << 0 << uint('-') << Discard;
            row("minus after a digit") << sep << Limit << "5" << 1 << uint('-') << Message;
            row("minus after a digit, Overspanning")
                << sep << Over << "5" << 1 << uint('-') << Message;
            row("minus after a digit, Range") << sep << Range << "5" << 1 << uint('-') << Discard;
            row("backspace") << sep << Limit << "-5" << 2 << uint(8) << Accept;
            row("Enter") << sep << Limit << "5" << 1 << uint(13) << Discard;
            row("Enter, Range") << sep << Range << "5" << 1 << uint(13) << Discard;
            row("Enter, Overspanning")
                << sep << Over << "5" << 1 << uint(13) << KeyVerdict::Process;
            row("letter") << sep << Over << "5" << 1 << uint('a') << Discard;
            row("blank") << sep << Limit << "5" << 1 << uint(' ') << Discard;
            // Keys that type nothing edit or move: Delete, the clipboard and undo keys.
            row("Delete") << sep << Limit << "5" << 0 << uint(0x7F) << Accept;
            row("copy shortcut") << sep << Limit << "5" << 1 << uint(0x03) << Accept;
            row("undo shortcut") << sep << Range << "5" << 1 << uint(0x1A) << Accept;
            row("8-bit letter") << sep << Limit << "5" << 1 << uint(0xE9) << Discard;
            row("Greek letter") << sep << Limit << "5" << 1 << uint(0x3B1) << Discard;
            row("full-width digit") << sep << Range << "5" << 1 << uint(0xFF15) << Discard;
            row("character outside the BMP") << sep << Limit << "" << 0 << uint(0x1D7CE) << Discard;
        }
        // A separator that is not an 8-bit character can never be typed.
        QTest::newRow("Arabic separator") << QString(QChar(0x66B)) << NumberKeyRule::Limit << "5"
                                          << 1 << uint(0x66B) << KeyVerdict::Discard;
        QTest::newRow("Arabic separator, digit") << QString(QChar(0x66B)) << NumberKeyRule::Limit
                                                 << "5" << 1 << uint('3') << KeyVerdict::Accept;
    }

    void numberKey() {
        QFETCH(QString, separator);
        QFETCH(NumberKeyRule, rule);
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(uint, key);
        QFETCH(KeyVerdict, verdict);
        QCOMPARE(checkNumberKey(key, separator, text, caret, rule), verdict);
    }

    void digitsOnlyKey_data() {
        QTest::addColumn<uint>("key");
        QTest::addColumn<KeyVerdict>("verdict");
        QTest::newRow("digit") << uint('0') << KeyVerdict::Accept;
        QTest::newRow("backspace") << uint(8) << KeyVerdict::Accept;
        QTest::newRow("copy shortcut") << uint(3) << KeyVerdict::Accept;
        QTest::newRow("minus") << uint('-') << KeyVerdict::Discard;
        QTest::newRow("comma") << uint(',') << KeyVerdict::Discard;
        QTest::newRow("letter") << uint('x') << KeyVerdict::Discard;
        QTest::newRow("Arabic-Indic digit") << uint(0x663) << KeyVerdict::Discard;
    }

    void digitsOnlyKey() {
        QFETCH(uint, key);
        QFETCH(KeyVerdict, verdict);
        QCOMPARE(checkDigitsOnlyKey(key), verdict);
    }

    // Typing into the real edits, with the decimal separator of the locale in force.
    void typing_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("messages");
        QTest::newRow("comma: negative decimal") << kComma << "underTemperatureEdit"
                                                 << ""
                                                 << "-5,5,."
                                                 << "-5,5" << 0;
        QTest::newRow("point: negative decimal") << kPoint << "underTemperatureEdit"
                                                 << ""
                                                 << "-5.5.,"
                                                 << "-5.5" << 0;
        QTest::newRow("comma: Onderspanning takes the comma") << kComma << "underVoltageEdit"
                                                              << ""
                                                              << "11,5"
                                                              << "11,5" << 0;
        QTest::newRow("point: Onderspanning takes the point") << kPoint << "underVoltageEdit"
                                                              << ""
                                                              << "11.5"
                                                              << "11.5" << 0;
        QTest::newRow("point: Onderspanning drops the comma") << kPoint << "underVoltageEdit"
                                                              << ""
                                                              << "11,5"
                                                              << "115" << 0;
        QTest::newRow("point: Overspanning drops the comma") << kPoint << "overVoltageEdit"
                                                             << ""
                                                             << "11,5"
                                                             << "115" << 0;
        QTest::newRow("minus after a digit") << kComma << "voltageTimeFilterEdit"
                                             << ""
                                             << "5-"
                                             << "5" << 1;
        QTest::newRow("minus moved to the start") << kComma << "temperatureTimeFilterEdit"
                                                  << ""
                                                  << "5^-^-"
                                                  << "-5" << 0;
        QTest::newRow("backspace and retype") << kComma << "overTemperatureEdit"
                                              << "35"
                                              << "\b\b4,0"
                                              << "4,0" << 0;
        QTest::newRow("letters and blanks") << kPoint << "overVoltageEdit"
                                            << ""
                                            << "1 a2é"
                                            << "12" << 0;
    }

    void typing() {
        QFETCH(QLocale, locale);
        QFETCH(QString, edit);
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, messages);
        QLocale::setDefault(locale);
        WindowFixture w;
        control(w.form, "filterGroup")->setEnabled(true);
        auto* target = w.form.findChild<QLineEdit*>(edit);
        QVERIFY(target);
        target->setText(start);
        type(target, keys);
        QCOMPARE(target->text(), text);
        QCOMPARE(w.seams.messages,
                 QStringList(messages, "Alleen toegestaan aan het begin van een nummer: -"));
    }

    // With the whole text selected the minus is still in it, so it is refused.
    void minusOverSelection() {
        WindowFixture w;
        control(w.form, "filterGroup")->setEnabled(true);
        QLineEdit* edit = w.edit("underTemperatureEdit");
        edit->setText("-5");
        edit->selectAll();
        type(edit, "-");
        QCOMPARE(edit->text(), QString("-5"));
        QVERIFY(w.seams.messages.isEmpty());
        edit->setCursorPosition(1);
        edit->setSelection(0, 1); // the caret is the selection's start: position 0
        type(edit, "7");
        QCOMPARE(edit->text(), QString("75"));
    }

    // The navigation group's edits have their checks too.
    void navigationEdits() {
        QLocale::setDefault(kComma);
        WindowFixture w;
        w.form.navigation()->setEnabled(true);
        type(w.form.navigation()->fromEdit(), "5-,5,");
        type(w.form.navigation()->toEdit(), "^-1.2\r");
        type(w.form.navigation()->eventNumberEdit(), "-1a2,3");
        QCOMPARE(w.form.navigation()->fromEdit()->text(), QString("5,5"));
        QCOMPARE(w.form.navigation()->toEdit()->text(), QString("-12"));
        QCOMPARE(w.form.navigation()->eventNumberEdit()->text(), QString("123"));
        QVERIFY(w.seams.messages.isEmpty());
    }

    // Keys that type no printable character reach the edit untouched, in every kind of
    // number edit.
    void nonPrintingKeys_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("keys"); // names, see below
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clipboard");
        const QStringList edits{"overVoltageEdit", "underTemperatureEdit", "toEdit",
                                "eventNumberEdit"};
        for (const QString& e : edits) {
            const auto row = [&e](const char* name) -> QTestData& {
                return QTest::addRow("%s: %s", qPrintable(e), name);
            };
            row("Delete at the start") << e << "Home Delete"
                                       << "234"
                                       << "";
            row("Backspace at the end") << e << "End Backspace"
                                        << "123"
                                        << "";
            row("arrows then Delete") << e << "Home Right Delete"
                                      << "134"
                                      << "";
            row("select all, Delete") << e << "Ctrl+A Delete"
                                      << ""
                                      << "";
            row("cut") << e << "Ctrl+A Ctrl+X"
                       << ""
                       << "1234";
            row("copy") << e << "Home Shift+End Ctrl+C"
                        << "1234"
                        << "1234";
            row("undo a Delete") << e << "Home Delete Ctrl+Z"
                                 << "1234"
                                 << "";
        }
    }

    void nonPrintingKeys() {
        QFETCH(QString, edit);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QString, clipboard);
        WindowFixture w;
        control(w.form, "filterGroup")->setEnabled(true);
        w.form.navigation()->setEnabled(true);
        QLineEdit* target = w.edit(qPrintable(edit));
        target->setText("1234");
        QGuiApplication::clipboard()->clear();
        for (const QString& key : keys.split(' ')) {
            const QKeySequence seq(key);
            QTest::keyClick(target, Qt::Key(seq[0].key()), seq[0].keyboardModifiers());
        }
        QCOMPARE(target->text(), text);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QVERIFY(w.seams.messages.isEmpty());
    }

    // Ctrl+V (and Shift+Insert) paste only what could have been typed there, the selection
    // replaced; anything else is refused whole.
    void paste_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("selectFrom"); // -1: caret at the end, nothing selected
        QTest::addColumn<int>("selectLength");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("text");
        const QString over = "overVoltageEdit";
        QTest::newRow("decimals at the end") << over << "12" << -1 << 0 << ",5"
                                             << "12,5";
        QTest::newRow("second separator") << over << "12,6" << -1 << 0 << ",5"
                                          << "12,6";
        QTest::newRow("over the whole text") << over << "12,6" << 0 << 4 << "-3,5"
                                             << "-3,5";
        QTest::newRow("over a part") << over << "12,6" << 1 << 1 << "39"
                                     << "139,6";
        QTest::newRow("minus after a digit") << over << "5" << -1 << 0 << "-1"
                                             << "5";
        QTest::newRow("a letter in it") << over << "5" << -1 << 0 << "1a"
                                        << "5";
        QTest::newRow("a line break in it") << over << "5" << -1 << 0 << "1\n2"
                                            << "5";
        QTest::newRow("the other decimal mark") << over << "5" << -1 << 0 << ".5"
                                                << "5";
        QTest::newRow("nothing") << over << "5" << -1 << 0 << ""
                                 << "5";
        QTest::newRow("range edit") << "fromEdit"
                                    << "" << -1 << 0 << "-2,25"
                                    << "-2,25";
        QTest::newRow("event number") << "eventNumberEdit"
                                      << "1" << -1 << 0 << "23"
                                      << "123";
        QTest::newRow("event number, comma") << "eventNumberEdit"
                                             << "1" << -1 << 0 << "2,3"
                                             << "1";
    }

    void paste() {
        QFETCH(QString, edit);
        QFETCH(QString, start);
        QFETCH(int, selectFrom);
        QFETCH(int, selectLength);
        QFETCH(QString, pasted);
        QFETCH(QString, text);
        QLocale::setDefault(kComma);
        for (const bool shiftInsert : {false, true}) {
            WindowFixture w;
            control(w.form, "filterGroup")->setEnabled(true);
            w.form.navigation()->setEnabled(true);
            QLineEdit* target = w.edit(qPrintable(edit));
            target->setText(start);
            if (selectFrom >= 0)
                target->setSelection(selectFrom, selectLength);
            QGuiApplication::clipboard()->setText(pasted);
            if (shiftInsert)
                QTest::keyClick(target, Qt::Key_Insert, Qt::ShiftModifier);
            else
                QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(target->text(), text);
            QVERIFY(w.seams.messages.isEmpty());
        }
    }
};

QTEST_MAIN(TestKeyChecks)
#include "tst_keychecks.moc"
