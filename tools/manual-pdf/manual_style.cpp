#include "manual_style.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace {

constexpr double kHeadingTopMargin = 14.0;
constexpr double kHeadingBottomMargin = 4.0;
constexpr double kCodeIndent = 10.0;
constexpr double kCellPadding = 3.0;
constexpr double kRuleWidth = 0.5;
constexpr double kTableMargin = 6.0;
const QColor kShade(0xee, 0xee, 0xee);
const QColor kRule(0x99, 0x99, 0x99);

void StyleBlock(const QTextBlock& block) {
    QTextBlockFormat format = block.blockFormat();
    if (format.headingLevel() > 0) {
        // The first heading, the title, starts at the top of the page.
        format.setTopMargin(block.blockNumber() == 0 ? 0.0 : kHeadingTopMargin);
        format.setBottomMargin(kHeadingBottomMargin);
    } else if (format.hasProperty(QTextFormat::BlockCodeFence)) {
        format.setBackground(kShade);
        format.setLeftMargin(kCodeIndent);
    } else {
        return;
    }
    QTextCursor(block).setBlockFormat(format);
}

void StyleTable(QTextTable& table) {
    QTextTableFormat format = table.format();
    format.setBorder(kRuleWidth);
    format.setBorderBrush(kRule);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellSpacing(0);
    format.setCellPadding(kCellPadding);
    format.setTopMargin(kTableMargin);
    format.setBottomMargin(kTableMargin);
    table.setFormat(format);
    for (int column = 0; column < table.columns(); ++column) {
        QTextTableCell cell = table.cellAt(0, column);
        QTextCharFormat cellFormat = cell.format();
        cellFormat.setBackground(kShade);
        cell.setFormat(cellFormat);
    }
}

}  // namespace

void StyleManual(QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        StyleBlock(block);
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) StyleTable(*table);
    }
}
