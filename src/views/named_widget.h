#pragma once

#include <QObject>

// Gives a new control the name tests and style sheets find it by.
template <typename Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(name);
    return control;
}
