// file_filter.h - file-dialog filters: the plug-ins give them in the handheld
// form "Description (*.ext)|*.ext|...", Qt's dialogs take "Description (*.ext
// *.EXT)" entries. Names on a Linux file system have case, so each pattern is
// also offered in upper case; "*.*" (every file) becomes "*".
#pragma once

#include <QString>
#include <QStringList>

namespace App {

// One Qt entry per description-and-patterns pair of `filter`, in order. A pair
// with an empty pattern list is left out.
QStringList QtFileFilters(const QString& filter);

// The Open dialog's filter: every emulator's filter in list order, then the
// zip entry.
inline constexpr char kZipFilter[] = "Zip Files (*.zip)|*.zip||";

}  // namespace App
