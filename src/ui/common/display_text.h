#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <string>
#include <string_view>

namespace mv {

// The one crossing between the bytes the core keeps (names from the disk,
// lines of the program's files, the core's messages) and the text widgets
// show. Window code has Qt's implicit conversions switched off, so every
// conversion goes through here.

// Text to show for stored bytes: valid UTF-8 as it stands, anything else read
// as Windows-1252 (catalogues written on Windows).
QString DisplayText(std::string_view bytes);

// Windows-1252 bytes as text, whatever they look like (ID3v1 tag fields).
QString Windows1252Text(std::string_view bytes);

// What the user typed, as the UTF-8 bytes the core works on.
std::string TypedBytes(const QString& text);

// Item data that keeps a row's exact bytes beside its display text, and back.
QByteArray BytesData(std::string_view bytes);
std::string BytesOfData(const QVariant& data);

}  // namespace mv
