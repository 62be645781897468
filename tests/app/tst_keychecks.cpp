#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "app/keychecks.h"
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
        const auto Over = NumberKeyRule::Overspanning;
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
            row("paste shortcut") << sep << Limit << "5" << 1 << uint(0x16) << Discard;
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
        QTest::newRow("comma: negative decimal") << kComma << "temperatuurondergrensedit"
                                                 << ""
                                                 << "-5,5,."
                                                 << "-5,5" << 0;
        QTest::newRow("point: negative decimal") << kPoint << "temperatuurondergrensedit"
                                                 << ""
                                                 << "-5.5.,"
                                                 << "-5.5" << 0;
        QTest::newRow("comma: Onderspanning takes the comma") << kComma << "onderspanningedit"
                                                              << ""
                                                              << "11,5"
                                                              << "11,5" << 0;
        QTest::newRow("point: Onderspanning takes the point") << kPoint << "onderspanningedit"
                                                              << ""
                                                              << "11.5"
                                                              << "11.5" << 0;
        QTest::newRow("point: Onderspanning drops the comma") << kPoint << "onderspanningedit"
                                                              << ""
                                                              << "11,5"
                                                              << "115" << 0;
        QTest::newRow("point: Overspanning drops the comma") << kPoint << "overspanningedit"
                                                             << ""
                                                             << "11,5"
                                                             << "115" << 0;
        QTest::newRow("minus after a digit") << kComma << "tijdfilteredit"
                                             << ""
                                             << "5-"
                                             << "5" << 1;
        QTest::newRow("minus moved to the start") << kComma << "temperatuurtijdfilteredit"
                                                  << ""
                                                  << "5^-^-"
                                                  << "-5" << 0;
        QTest::newRow("backspace and retype") << kComma << "temperatuurbovengrensedit"
                                              << "35"
                                              << "\b\b4,0"
                                              << "4,0" << 0;
        QTest::newRow("letters and blanks") << kPoint << "overspanningedit"
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
        w.form.filtersgroupbox->setEnabled(true);
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
        w.form.filtersgroupbox->setEnabled(true);
        QLineEdit* edit = w.form.temperatuurondergrensedit;
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

    // The navigation group is built elsewhere; embedded, its edits get their checks.
    void navigationEdits() {
        QLocale::setDefault(kComma);
        WindowFixture w;
        auto* group = new QGroupBox("Grafiek navigatie");
        auto edit = [group](const char* name) {
            auto* e = new QLineEdit(group);
            e->setObjectName(name);
            return e;
        };
        QLineEdit* vanaf = edit("Edit2");
        QLineEdit* tot = edit("Edit1");
        QLineEdit* number = edit("calamiteitedit");
        w.form.setNavigationGroup(group);
        QCOMPARE(w.form.navigatiegroupbox, group);
        type(vanaf, "5-,5,");
        type(tot, "^-1.2\r");
        type(number, "-1a2,3");
        QCOMPARE(vanaf->text(), QString("5,5"));
        QCOMPARE(tot->text(), QString("-12"));
        QCOMPARE(number->text(), QString("123"));
        QVERIFY(w.seams.messages.isEmpty());
    }
};

QTEST_MAIN(TestKeyChecks)
#include "tst_keychecks.moc"
