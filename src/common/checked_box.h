#pragma once

class QCheckBox;

// A check box named `name` (its object name) with `caption`, ticked from the start.
QCheckBox* CheckedBox(const char* name, const char* caption);
