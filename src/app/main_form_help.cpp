// The Help menu: the about box and the manual.
#include "app/main_form.h"
#include "common/user_messages.h"

void TMainForm::About1Click() {
    messages_.ShowMessage("Quennel Ostrel\n\nMarch 2015\n1.0.0", "Information");
}

// The manual lies beside the program; when it or a viewer for it is missing, nothing is said.
void TMainForm::Manual1Click() {
    OpenWithViewer(programFolder_ + "Ostrel.pdf", true, *viewers_);
}
