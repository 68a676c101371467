// file_filter.cpp - handheld-form filters to Qt's form.
#include "app/file_filter.h"

#include <QRegularExpression>

namespace App {

namespace {

// The description without a trailing pattern list in parentheses.
QString BareDescription(const QString& description) {
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString bare = description;
    bare.remove(trailingPatterns);
    return bare.trimmed();
}

QStringList Patterns(const QString& patternList) {
    QStringList patterns;
    for (QString pattern : patternList.split(u';', Qt::SkipEmptyParts)) {
        pattern = pattern.trimmed();
        if (pattern.isEmpty()) continue;
        if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
        if (!patterns.contains(pattern)) patterns << pattern;
        const QString upper = pattern.toUpper();
        if (!patterns.contains(upper)) patterns << upper;
    }
    return patterns;
}

}  // namespace

QStringList QtFileFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = Patterns(parts[i + 1]);
        if (patterns.isEmpty()) continue;
        filters << BareDescription(parts[i]) + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

}  // namespace App
