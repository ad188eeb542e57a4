#pragma once

class QLabel;
class QString;
class QWidget;

// A label standing before `input` and naming it: assistive technology reads the label's text as
// the input's name (otherwise it falls back to the title of the input's group).
QLabel* BuddyLabel(const QString& text, QWidget* input);
