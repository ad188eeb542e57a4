#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QTextDocument;

// A Markdown manual read into a text document with every image it references loaded from
// the manual's folder and narrowed to the page's text width where it is wider.
struct ManualDocument {
    std::unique_ptr<QTextDocument> document;
    // The image files the manual uses, as absolute paths.
    QStringList images;
    // What went wrong; empty when the manual and all its images were read.
    QString error;
};

// The text width of an A4 page less the 2 cm margins that QTextDocument::print keeps on each
// side, in the 96 px per inch that images are laid out in.
inline constexpr double kTextWidthPx = 642.0;

ManualDocument ReadManual(const QString& markdownPath);

// Writes `document` as an A4 PDF with numbered pages; false when the file cannot be written.
bool WriteManualPdf(QTextDocument& document, const QString& pdfPath, const QString& title);
