#pragma once

#include <optional>
#include <string>
#include <string_view>

// Results of OpenWithViewer. Between kViewerStartFailed and kViewerDocumentMissing lie the
// system's own start error codes 1 ... 30 (2 file not found, 3 path not found, 11 bad format).
enum ViewerResult : int {
    kViewerStarted = 0,
    kViewerStartFailed = -1,  // the system lacked the memory or resources to start it
    kViewerDocumentMissing = 128,
    kViewerNoFileType = 129,     // nothing is registered for the document's extension
    kViewerNoOpenCommand = 130,  // the file type has no open command
    kViewerNoExtension = 131,    // the document name holds no "."
};

// Where a desktop keeps its viewers: file types by extension and the command line that opens
// each type. Every platform supplies its own.
class ViewerRegistry {
  public:
    virtual ~ViewerRegistry() = default;
    virtual bool FileExists(const std::string& path) const = 0;
    // The file type registered for an extension such as ".pdf", or nothing.
    virtual std::optional<std::string> FileTypeOf(const std::string& extension) const = 0;
    // The command line registered to open documents of a file type, or nothing.
    virtual std::optional<std::string> OpenCommandOf(const std::string& fileType) const = 0;
    // Starts a command line without waiting for it: kViewerStarted, kViewerStartFailed or the
    // system's start error code 1 ... 30.
    virtual int Start(const std::string& commandLine) = 0;
};

// The command line that opens `document` with a registered open command: its first "%1"
// becomes the document name (the text after it is kept up to 999 characters); a command
// without "%1" gets the name appended in double quotes after a blank.
std::string ViewerCommandLine(std::string_view openCommand, std::string_view document);

// Opens `document` with the viewer registered for its extension (from its last "." to the
// end), when `mustExist` is set only if the file exists. Returns a ViewerResult or a start
// error code; nothing is reported to the user.
int OpenWithViewer(const std::string& document, bool mustExist, ViewerRegistry& registry);
