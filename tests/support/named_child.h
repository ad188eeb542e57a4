#pragma once

#include <QObject>
#include <stdexcept>
#include <string>

// The control that `parent` holds under `name`, found as a user's tool finds it; a missing
// one ends the test with its name.
template <typename T>
T* NamedChild(const QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(name);
    if (child == nullptr) throw std::runtime_error(std::string("no control named ") + name);
    return child;
}
