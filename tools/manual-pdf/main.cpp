// manual-pdf: renders the Markdown user manual into a PDF with Qt's own text engine and PDF
// writer, for the build. Usage: manual-pdf MANUAL.md OUTPUT.pdf [DEPFILE]
// The optional depfile names the manual and every image it uses, so that the build renders
// the PDF again when any of them changes. It needs a GUI platform for its fonts; the build
// runs it with QT_QPA_PLATFORM=offscreen.

#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdio>

#include "manual_document.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitBadUsage = 2;

int Fail(const QString& why) {
    std::fprintf(stderr, "manual-pdf: %s\n", qPrintable(why));
    return kExitFailure;
}

// Make's rule syntax, which Ninja reads too: blanks in a name are escaped.
QString DepfileName(QString path) {
    return path.replace(' ', "\\ ");
}

bool WriteDepfile(const QString& depfilePath, const QString& target, const QString& manual,
                  const QStringList& images) {
    QString rule = DepfileName(target) + ":";
    for (const QString& input : QStringList{manual} + images)
        rule += " \\\n  " + DepfileName(input);
    QFile file(depfilePath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(rule.toUtf8() + '\n') > 0;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || args.size() > 4) {
        std::fprintf(stderr, "Usage: manual-pdf MANUAL.md OUTPUT.pdf [DEPFILE]\n");
        return kExitBadUsage;
    }
    const QString& markdown = args[1];
    const QString& pdf = args[2];
    ManualDocument manual = ReadManual(markdown);
    if (!manual.error.isEmpty()) return Fail(manual.error);
    // The manual's first line, its main heading, names the PDF.
    const QString title = manual.document->firstBlock().text();
    if (!WriteManualPdf(*manual.document, pdf, title)) return Fail("cannot write " + pdf);
    if (args.size() == 4 && !WriteDepfile(args[3], pdf, markdown, manual.images))
        return Fail("cannot write " + args[3]);
    return 0;
}
