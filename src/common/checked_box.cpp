#include "common/checked_box.h"

#include <QCheckBox>

QCheckBox* CheckedBox(const char* name, const char* caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    box->setChecked(true);
    return box;
}
