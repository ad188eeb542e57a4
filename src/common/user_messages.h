#pragma once

#include <string>

// How the program talks to the user with modal boxes. The main window implements it with
// message boxes; tests implement it to answer the boxes and record their exact texts.
class UserMessages {
public:
    virtual ~UserMessages() = default;
    // An OK box.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // A Yes/No box; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
};
