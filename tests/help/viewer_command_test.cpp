#include "help/viewer_command.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "help/xdg_viewer_registry.h"

namespace {

TEST(ViewerCommandLine, PutsTheDocumentWhereTheCommandWantsIt) {
    EXPECT_EQ(ViewerCommandLine("\"C:\\Viewer\\view.exe\" \"%1\"", "C:\\Tools\\Ostrel.pdf"),
              "\"C:\\Viewer\\view.exe\" \"C:\\Tools\\Ostrel.pdf\"");
    EXPECT_EQ(ViewerCommandLine("viewer /open", "C:\\Tools\\Ostrel.pdf"),
              "viewer /open \"C:\\Tools\\Ostrel.pdf\"");
    EXPECT_EQ(ViewerCommandLine("viewer %1 --compare %1", "a.pdf"), "viewer a.pdf --compare %1");

    const std::string longTail(1200, 'x');
    EXPECT_EQ(ViewerCommandLine("viewer %1" + longTail, "a.pdf"),
              "viewer a.pdf" + longTail.substr(0, 999));
}

// A registry that knows ".pdf" as "AcroExch.Document" with one open command.
class FakeRegistry : public ViewerRegistry {
  public:
    bool FileExists(const std::string& path) const override { return path == existing; }
    std::optional<std::string> FileTypeOf(const std::string& extension) const override {
        askedExtension = extension;
        if (extension != ".pdf") return std::nullopt;
        return "AcroExch.Document";
    }
    std::optional<std::string> OpenCommandOf(const std::string& fileType) const override {
        if (fileType != "AcroExch.Document" || !openCommand) return std::nullopt;
        return openCommand;
    }
    int Start(const std::string& commandLine) override {
        started.push_back(commandLine);
        return startResult;
    }

    std::string existing = "C:\\Tools\\Ostrel.pdf";
    std::optional<std::string> openCommand = "viewer.exe \"%1\"";
    int startResult = kViewerStarted;
    mutable std::string askedExtension;
    std::vector<std::string> started;
};

TEST(OpenWithViewer, GivesTheResultOfEachStep) {
    FakeRegistry registry;
    EXPECT_EQ(OpenWithViewer("C:\\Tools\\Ostrel.pdf", true, registry), kViewerStarted);
    ASSERT_EQ(registry.started.size(), 1u);
    EXPECT_EQ(registry.started[0], "viewer.exe \"C:\\Tools\\Ostrel.pdf\"");

    EXPECT_EQ(OpenWithViewer("C:\\Tools\\Manual", true, registry), kViewerNoExtension);
    EXPECT_EQ(OpenWithViewer("C:\\Tools\\Missing.pdf", true, registry), kViewerDocumentMissing);
    EXPECT_EQ(OpenWithViewer("C:\\Tools\\Missing.pdf", false, registry), kViewerStarted);
    EXPECT_EQ(OpenWithViewer("C:\\A.B\\manual", false, registry), kViewerNoFileType);
    EXPECT_EQ(registry.askedExtension, ".B\\manual");

    registry.startResult = 2;  // the system's "file not found"
    EXPECT_EQ(OpenWithViewer("C:\\Tools\\Ostrel.pdf", true, registry), 2);
    registry.openCommand.reset();
    EXPECT_EQ(OpenWithViewer("C:\\Tools\\Ostrel.pdf", true, registry), kViewerNoOpenCommand);
    EXPECT_EQ(registry.started.size(), 3u);
}

TEST(XdgViewerRegistry, FindsFileTypesInTheSharedMimeDatabase) {
    XdgViewerRegistry registry;
    EXPECT_EQ(registry.FileTypeOf(".pdf"), "application/pdf");
    EXPECT_FALSE(registry.FileTypeOf(".B/manual"));

    QTemporaryDir folder;
    EXPECT_FALSE(registry.FileExists(folder.path().toStdString()));  // a folder is no document
    EXPECT_FALSE(registry.FileExists(folder.filePath("Ostrel.pdf").toStdString()));
}

}  // namespace
