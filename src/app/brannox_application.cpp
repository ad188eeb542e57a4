#include "app/brannox_application.h"

#include <stdexcept>
#include <string>

#include "app/message_box_user_messages.h"

BrannoxApplication::BrannoxApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Brannox");
}

bool BrannoxApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException();
        return false;
    }
}

void BrannoxApplication::ShowCurrentException() {
    std::string text;  // a thrown value that is not an exception shows an empty message
    try {
        throw;
    } catch (const std::exception& error) {
        text = error.what();
    } catch (...) {
    }
    const std::string caption = applicationName().toStdString();
    if (messages_ != nullptr) {
        messages_->ShowMessage(text, caption);
    } else {
        MessageBoxUserMessages(activeWindow()).ShowMessage(text, caption);
    }
}
