// Writes the dialog's application icon as hicolor theme PNGs: OUTDIR/<n>x<n>/apps/tarnwick.png for each
// size the dialog draws.
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

#include "ui/app_icon.h"

int main(int argc, char* argv[]) {
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fputs("usage: tarnwick-icon-export OUTDIR\n", stderr);
    return 2;
  }
  const QIcon icon = tw::ApplicationIcon();
  for (const QSize& size : icon.availableSizes()) {
    const QString folder =
        QStringLiteral("%1/%2x%3/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size.width()).arg(size.height());
    const QString file = folder + QStringLiteral("/tarnwick.png");
    if (!QDir().mkpath(folder) || !icon.pixmap(size).save(file, "PNG")) {
      std::fprintf(stderr, "tarnwick-icon-export: cannot write %s\n", file.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}
