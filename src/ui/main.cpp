#include <QApplication>

#include <cstdio>

#include "ui/loader_app.h"

namespace {

constexpr int kUsageError = 2;

void Print(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const tw::LoaderAppOptions options = tw::CLoaderApp::ParseArguments(QApplication::arguments());
  if (!options.error.isEmpty()) {
    Print(stderr, QStringLiteral("tarnwick: %1\n").arg(options.error));
    Print(stderr, tw::CLoaderApp::Usage());
    return kUsageError;
  }
  if (options.help) {
    Print(stdout, tw::CLoaderApp::Usage());
    return 0;
  }
  if (options.version) {
    Print(stdout, tw::CLoaderApp::VersionText() + QLatin1Char('\n'));
    return 0;
  }
  tw::CLoaderApp app;
  return app.InitInstance(options);
}
