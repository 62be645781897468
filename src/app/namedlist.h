#pragma once

#include <QComboBox>

namespace veltrano {

// A pick-only list that assistive technology knows by its own name: its accessible name, or
// else the label it is the buddy of. Qt names a list after its current entry on Linux, so
// that two lists showing "minuten" could not be told apart; here the entry is the list's
// value.
class NamedList : public QComboBox {
    Q_OBJECT
public:
    explicit NamedList(QWidget* parent = nullptr);
};

} // namespace veltrano
