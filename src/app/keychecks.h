#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace veltrano {

class UiSeams;

// What happens to a character typed into a numeric edit.
enum class KeyVerdict {
    Accept,
    Discard,
    DiscardWithMessage, // a minus sign away from the start of the number
    Process,            // Enter in "Overspanning": run the processing action
};

enum class NumberKeyRule {
    Limit,          // the filter edits: message for a misplaced minus
    LimitWithEnter, // as Limit, and Enter processes
    Range,          // "Vanaf" and "Tot": a misplaced minus is dropped silently
    DigitsOnly,     // the event number
};

inline constexpr char32_t kBackspace = 8;
inline constexpr char32_t kEnter = 13;

// Decides on one typed character before it reaches the edit. Of the printable characters
// only '-', the digits and the locale's decimal separator can pass; the separator and '-' at
// most once in the text, '-' only with the caret (selection start) at position 0. A
// separator that is not a single 8-bit character can never be typed. Control characters
// (Backspace, Delete, the clipboard and undo shortcuts) type nothing and pass; Enter only
// processes in "Overspanning".
KeyVerdict checkNumberKey(char32_t key, const QString& decimalSeparator, const QString& text,
                          int caret, NumberKeyRule rule);

// The event number edit takes digits only; control characters keep working.
KeyVerdict checkDigitsOnlyKey(char32_t key);

// A paste goes in whole when every character of it would pass typed at its place, with the
// selection [selectionStart, selectionStart + selectionLength) replaced first; otherwise not
// at all.
bool checkPaste(const QString& pasted, const QString& decimalSeparator, QString text,
                int selectionStart, int selectionLength, NumberKeyRule rule);

QString misplacedMinusMessage();

// Applies the checks to the key presses of the edits it is attached to, and to pasting
// with the keyboard. Keys that carry no character (arrows, Home, End, Tab) pass untouched;
// input methods are switched off on the edit so that every character arrives as a key press.
class NumberKeyFilter : public QObject {
    Q_OBJECT
public:
    NumberKeyFilter(UiSeams* seams, QObject* parent = nullptr);

    void attach(QLineEdit* edit, NumberKeyRule rule);
    void attachDigitsOnly(QLineEdit* edit);

signals:
    // Enter in an edit with the Overspanning rule.
    void processRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UiSeams* seams_;
};

} // namespace veltrano
