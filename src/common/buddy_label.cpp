#include "common/buddy_label.h"

#include <QLabel>

QLabel* BuddyLabel(const QString& text, QWidget* input) {
    auto* label = new QLabel(text);
    label->setBuddy(input);
    return label;
}
