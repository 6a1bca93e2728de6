#include "ui/file_filter.h"

#include <QStringList>

namespace tw {

QString QtFileFilter(std::string_view pairs) {
  const QStringList parts = QString::fromUtf8(pairs.data(), static_cast<qsizetype>(pairs.size())).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' ');
    if (!patterns.isEmpty()) {
      filters.append(parts[i] + QStringLiteral(" (") + patterns + u')');
    }
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace tw
