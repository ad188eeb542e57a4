#pragma once

class QTextDocument;

// Gives a document read from Markdown the look of a printed manual: room above headings,
// shaded code blocks, and tables with thin ruled cells and a shaded header row.
void StyleManual(QTextDocument& document);
