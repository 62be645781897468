#include "keychecks.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

#include "uiseams.h"

namespace veltrano {

namespace {

constexpr char kRuleProperty[] = "veltranoNumberKeyRule";
constexpr int kDigitsOnly = -1;

char32_t separatorCode(const QString& separator) {
    // Only a single 8-bit character can be in the accepted set.
    if (separator.size() != 1 || separator.at(0).unicode() > 255)
        return 0;
    return separator.at(0).unicode();
}

bool textContains(const QString& text, char32_t key) {
    return text.contains(QChar(char16_t(key)));
}

} // namespace

QString misplacedMinusMessage() {
    return QStringLiteral("Alleen toegestaan aan het begin van een nummer: -");
}

KeyVerdict checkNumberKey(char32_t key, const QString& decimalSeparator, const QString& text,
                          int caret, NumberKeyRule rule) {
    const char32_t separator = separatorCode(decimalSeparator);
    const bool isSeparator = separator != 0 && key == separator;
    if (key == kEnter && rule == NumberKeyRule::Overspanning)
        return KeyVerdict::Process;
    const bool allowed =
        key == kBackspace || key == '-' || (key >= '0' && key <= '9') || isSeparator;
    if (!allowed)
        return KeyVerdict::Discard;
    if ((isSeparator || key == '-') && textContains(text, key))
        return KeyVerdict::Discard;
    if (key == '-' && caret != 0)
        return rule == NumberKeyRule::Range ? KeyVerdict::Discard : KeyVerdict::DiscardWithMessage;
    return KeyVerdict::Accept;
}

KeyVerdict checkDigitsOnlyKey(char32_t key) {
    if ((key >= '0' && key <= '9') || key < 0x20 || key == 0x7F)
        return KeyVerdict::Accept;
    return KeyVerdict::Discard;
}

NumberKeyFilter::NumberKeyFilter(UiSeams* seams, QObject* parent)
    : QObject(parent), seams_(seams) {}

void NumberKeyFilter::attach(QLineEdit* edit, NumberKeyRule rule) {
    edit->setProperty(kRuleProperty, int(rule));
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->installEventFilter(this);
}

void NumberKeyFilter::attachDigitsOnly(QLineEdit* edit) {
    edit->setProperty(kRuleProperty, kDigitsOnly);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->installEventFilter(this);
}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const QVariant ruleValue = watched->property(kRuleProperty);
    if (!edit || !ruleValue.isValid() || !edit->isEnabled())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);

    // The character the key press would put into the edit, if any.
    char32_t ch = 0;
    switch (key->key()) {
    case Qt::Key_Backspace:
        ch = kBackspace;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ch = kEnter;
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false; // focus navigation, not a character
    default: {
        const QList<uint> ucs4 = key->text().toUcs4();
        if (ucs4.isEmpty())
            return false;
        ch = ucs4.first();
    }
    }

    const int rule = ruleValue.toInt();
    KeyVerdict verdict;
    if (rule == kDigitsOnly) {
        verdict = checkDigitsOnlyKey(ch);
    } else {
        const int caret = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        verdict =
            checkNumberKey(ch, QLocale().decimalPoint(), edit->text(), caret, NumberKeyRule(rule));
    }
    switch (verdict) {
    case KeyVerdict::Accept:
        return false;
    case KeyVerdict::Discard:
        return true;
    case KeyVerdict::DiscardWithMessage:
        seams_->information(edit->window(), misplacedMinusMessage());
        return true;
    case KeyVerdict::Process:
        emit processRequested();
        return true;
    }
    return true;
}

} // namespace veltrano
