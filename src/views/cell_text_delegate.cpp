#include "views/cell_text_delegate.h"

#include <QPainter>

void CellTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QVariant background = index.data(Qt::BackgroundRole);
    if (selected)
        painter->fillRect(option.rect, option.palette.highlight());
    else if (background.isValid())
        painter->fillRect(option.rect, background.value<QColor>());
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return;
    if (texts_.size() >= kCacheLimit) texts_.clear();
    auto found = texts_.find(text);
    if (found == texts_.end()) {
        found = texts_.insert(text, QStaticText(text));
        found->prepare(QTransform(), option.font);
    }
    const QSizeF size = found->size();
    const Qt::Alignment alignment =
        index.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
    const qreal x = alignment == Qt::AlignRight ? option.rect.right() - kMargin - size.width()
                                                : option.rect.left() + kMargin;
    const qreal y = option.rect.top() + (option.rect.height() - size.height()) / 2;
    painter->save();
    painter->setClipRect(option.rect);
    painter->setFont(option.font);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawStaticText(QPointF(x, y), *found);
    painter->restore();
}
