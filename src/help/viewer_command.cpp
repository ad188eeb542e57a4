#include "help/viewer_command.h"

namespace {

constexpr size_t kMaxTextAfterDocument = 999;

}  // namespace

std::string ViewerCommandLine(std::string_view openCommand, std::string_view document) {
    const size_t placeholder = openCommand.find("%1");
    std::string commandLine;
    if (placeholder == std::string_view::npos) {
        commandLine.append(openCommand).append(" \"").append(document).append("\"");
        return commandLine;
    }
    commandLine.append(openCommand.substr(0, placeholder))
        .append(document)
        .append(openCommand.substr(placeholder + 2, kMaxTextAfterDocument));
    return commandLine;
}

int OpenWithViewer(const std::string& document, bool mustExist, ViewerRegistry& registry) {
    const size_t dot = document.rfind('.');
    if (dot == std::string::npos) return kViewerNoExtension;
    if (mustExist && !registry.FileExists(document)) return kViewerDocumentMissing;
    const std::optional<std::string> fileType = registry.FileTypeOf(document.substr(dot));
    if (!fileType) return kViewerNoFileType;
    const std::optional<std::string> openCommand = registry.OpenCommandOf(*fileType);
    if (!openCommand) return kViewerNoOpenCommand;
    return registry.Start(ViewerCommandLine(*openCommand, document));
}
