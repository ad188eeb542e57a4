#pragma once

#include "help/viewer_command.h"

// The viewers of a freedesktop.org desktop: file types come from the shared MIME database, and
// every type opens with xdg-open, which starts the user's preferred application for it.
class XdgViewerRegistry : public ViewerRegistry {
  public:
    bool FileExists(const std::string& path) const override;
    std::optional<std::string> FileTypeOf(const std::string& extension) const override;
    std::optional<std::string> OpenCommandOf(const std::string& fileType) const override;
    int Start(const std::string& commandLine) override;
};
