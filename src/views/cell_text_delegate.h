#pragma once

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

// Draws a table cell's text and background with text laid out once per distinct value: the
// standard delegate lays out every cell afresh at each redraw, which is most of what a table
// that changes several times a second costs.
class CellTextDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    static constexpr int kMargin = 3;
    // Kept until it holds this many texts, then started again.
    static constexpr qsizetype kCacheLimit = 20000;
    mutable QHash<QString, QStaticText> texts_;
};
