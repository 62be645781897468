#include "keychecks.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

#include "uiseams.h"

namespace veltrano {

namespace {

constexpr char kRuleProperty[] = "veltranoNumberKeyRule";

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
    if (rule == NumberKeyRule::DigitsOnly)
        return checkDigitsOnlyKey(key);
    if (key == kEnter)
        return rule == NumberKeyRule::LimitWithEnter ? KeyVerdict::Process : KeyVerdict::Discard;
    if (key < 0x20 || key == 0x7F)
        return KeyVerdict::Accept;
    const char32_t separator = separatorCode(decimalSeparator);
    const bool isSeparator = separator != 0 && key == separator;
    const bool allowed = key == '-' || (key >= '0' && key <= '9') || isSeparator;
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

bool checkPaste(const QString& pasted, const QString& decimalSeparator, QString text,
                int selectionStart, int selectionLength, NumberKeyRule rule) {
    text.remove(selectionStart, selectionLength);
    int caret = selectionStart;
    for (const char32_t c : pasted.toUcs4()) {
        // Line breaks, tabs and other control characters are never part of a number.
        if (c < 0x20 || c == 0x7F ||
            checkNumberKey(c, decimalSeparator, text, caret, rule) != KeyVerdict::Accept)
            return false;
        const QString typed = QString::fromUcs4(&c, 1);
        text.insert(caret, typed);
        caret += int(typed.size());
    }
    return true;
}

NumberKeyFilter::NumberKeyFilter(UiSeams* seams, QObject* parent)
    : QObject(parent), seams_(seams) {}

void NumberKeyFilter::attach(QLineEdit* edit, NumberKeyRule rule) {
    edit->setProperty(kRuleProperty, int(rule));
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    // Dropped text would pass no check; a dropped file goes on to the window.
    edit->setAcceptDrops(false);
    edit->installEventFilter(this);
}

void NumberKeyFilter::attachDigitsOnly(QLineEdit* edit) {
    attach(edit, NumberKeyRule::DigitsOnly);
}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const QVariant ruleValue = watched->property(kRuleProperty);
    if (!edit || !ruleValue.isValid() || !edit->isEnabled())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto rule = NumberKeyRule(ruleValue.toInt());
    const QString separator = QLocale().decimalPoint();

    if (key->matches(QKeySequence::Paste)) {
        const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        const int length = edit->hasSelectedText() ? int(edit->selectedText().size()) : 0;
        const QString pasted = QGuiApplication::clipboard()->text();
        // Accepted, the edit pastes it itself; refused, nothing of it goes in.
        return !checkPaste(pasted, separator, edit->text(), start, length, rule);
    }

    // A shortcut (Ctrl+A, Ctrl+C, Ctrl+Z ...) types nothing, whatever text it carries.
    if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;

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

    const int caret = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const KeyVerdict verdict = checkNumberKey(ch, separator, edit->text(), caret, rule);
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
