#include "namedlist.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

namespace veltrano {

namespace {

// The interface Qt gives a pick-only list, with the name taken as on the other platforms.
class NamedListInterface : public QAccessibleWidget {
public:
    explicit NamedListInterface(QWidget* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return list()->currentText();
        const QString text = QAccessibleWidget::text(t).trimmed();
        if (t == QAccessible::Name && text.isEmpty())
            return list()->currentText();
        return text;
    }

    // The drop-down list is the one child.
    int childCount() const override { return list()->view() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
        } else if (list()->view()->isVisible()) {
            list()->hidePopup();
        } else {
            list()->showPopup();
        }
    }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* namedListInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(NamedList::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new NamedListInterface(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

NamedList::NamedList(QWidget* parent) : QComboBox(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(namedListInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace veltrano
