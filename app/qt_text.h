// qt_text.h - the small conversions between the engine's values and Qt's:
// text and the 0x00BBGGRR colours of the settings.
#pragma once

#include <QColor>
#include <QString>

#include "platform/cstring.h"

namespace App {

inline QString ToQt(const CString& text) { return QString::fromStdWString(text.Text()); }
inline CString FromQt(const QString& text) { return CString(text.toStdWString()); }
inline QColor FromColorRef(int colour) { return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF); }

}  // namespace App
