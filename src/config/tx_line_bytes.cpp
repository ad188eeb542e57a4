#include "config/tx_line_bytes.h"

#include <QStringDecoder>

QString TxLineBytes::Decode(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError()) return text;
    text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    eightBitLines_.insert(text, bytes);
    return text;
}

std::string TxLineBytes::Encode(const QString& text) const {
    const auto found = eightBitLines_.constFind(text);
    return found != eightBitLines_.constEnd() ? *found : text.toStdString();
}
