#include "manual_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <vector>

#include "manual_style.h"

namespace {

constexpr double kBodyPointSize = 10.0;

struct ImageUse {
    int position;
    QTextImageFormat format;
};

std::vector<ImageUse> ImageUses(const QTextDocument& document) {
    std::vector<ImageUse> uses;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                uses.push_back({fragment.position(), fragment.charFormat().toImageFormat()});
        }
    }
    return uses;
}

// Loads the image of `use` into the document's resources, so that layout and printing never
// look for it elsewhere, and narrows a wide one to the text width, keeping its proportions.
QString AddImage(QTextDocument& document, const QDir& folder, ImageUse use, QStringList& images) {
    const QString path = QDir::cleanPath(folder.absoluteFilePath(use.format.name()));
    const QImage image(path);
    if (image.isNull()) return "cannot read the image " + path;
    if (!images.contains(path)) images.append(path);
    document.addResource(QTextDocument::ImageResource, QUrl(use.format.name()), image);
    if (image.width() <= kTextWidthPx) return {};
    use.format.setWidth(kTextWidthPx);
    use.format.setHeight(kTextWidthPx * image.height() / image.width());
    QTextCursor cursor(&document);
    cursor.setPosition(use.position);
    cursor.setPosition(use.position + 1, QTextCursor::KeepAnchor);
    cursor.setCharFormat(use.format);
    return {};
}

}  // namespace

ManualDocument ReadManual(const QString& markdownPath) {
    ManualDocument manual;
    QFile file(markdownPath);
    if (!file.open(QIODevice::ReadOnly)) {
        manual.error = "cannot read " + markdownPath;
        return manual;
    }
    const QDir folder = QFileInfo(markdownPath).absoluteDir();
    manual.document = std::make_unique<QTextDocument>();
    QTextDocument& document = *manual.document;
    QFont font = document.defaultFont();
    font.setPointSizeF(kBodyPointSize);
    document.setDefaultFont(font);
    document.setBaseUrl(QUrl::fromLocalFile(folder.absolutePath() + '/'));
    document.setMarkdown(QString::fromUtf8(file.readAll()), QTextDocument::MarkdownDialectGitHub);
    StyleManual(document);
    for (const ImageUse& use : ImageUses(document)) {
        manual.error = AddImage(document, folder, use, manual.images);
        if (!manual.error.isEmpty()) return manual;
    }
    return manual;
}

bool WriteManualPdf(QTextDocument& document, const QString& pdfPath, const QString& title) {
    QPdfWriter writer(pdfPath);
    writer.setTitle(title);
    writer.setCreator("Brannox manual-pdf");
    // print() sets its own margins and numbers the pages in the bottom one.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    document.print(&writer);
    return QFileInfo(pdfPath).size() > 0;
}
