#pragma once

#include <QHash>
#include <QString>
#include <string>

// Transmit lines between the bytes of the settings file and the text of the editor. A line in
// UTF-8 is read as UTF-8; any other line was written in an 8-bit code page and is read byte by
// byte as Latin-1, which shows the common letters and signs (0xB0 is the degree sign) and
// loses no byte. Such a line goes back to the file as the very bytes it came from while its
// text is unchanged; every other text is written in UTF-8.
class TxLineBytes {
  public:
    QString Decode(const std::string& bytes);
    std::string Encode(const QString& text) const;

  private:
    QHash<QString, std::string> eightBitLines_;  // text as shown -> bytes as read
};
