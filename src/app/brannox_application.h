#pragma once

#include <QApplication>
#include <exception>

class UserMessages;

// The application object. An exception that escapes the handling of an event (a command, a
// timer, a received packet) is shown in a message box, and the program goes on.
class BrannoxApplication : public QApplication {
    Q_OBJECT
  public:
    BrannoxApplication(int& argc, char** argv);

    // Where escaped exceptions are shown; message boxes until this is set.
    void SetMessages(UserMessages* messages) { messages_ = messages; }

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the exception being handled (call it inside a catch block).
    void ShowCurrentException();

  private:
    UserMessages* messages_ = nullptr;
};
