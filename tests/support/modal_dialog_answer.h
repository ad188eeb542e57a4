#pragma once

#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <functional>
#include <utility>

// Answers a modal dialog each time it is shown while this object lives: `look` sees it open,
// then it closes with OK or Cancel. A test creates one before the command that opens the
// dialog; Shown() tells how often the command opened it.
class ModalDialogAnswer : public QObject {
  public:
    ModalDialogAnswer(QDialog& dialog, bool accept, std::function<void()> look = {})
        : dialog_(dialog), accept_(accept), look_(std::move(look)) {
        dialog_.installEventFilter(this);
    }
    ~ModalDialogAnswer() override { dialog_.removeEventFilter(this); }

    int Shown() const { return shown_; }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            ++shown_;
            QTimer::singleShot(0, this, [this] {
                if (look_) look_();
                if (accept_)
                    dialog_.accept();
                else
                    dialog_.reject();
            });
        }
        return false;
    }

  private:
    QDialog& dialog_;
    bool accept_;
    std::function<void()> look_;
    int shown_ = 0;
};
