#pragma once

#include <initializer_list>
#include <utility>

#include <QObject>

namespace veltrano {

// Gives each control its object name, by which tests and tools find it.
inline void nameObjects(std::initializer_list<std::pair<QObject*, const char*>> names) {
    for (const auto& [object, name] : names)
        object->setObjectName(QString::fromLatin1(name));
}

} // namespace veltrano
