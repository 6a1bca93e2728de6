#include <QApplication>

#include <cstdio>

#include "ui/loader_app.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const tw::LoaderAppOptions options = tw::CLoaderApp::ParseArguments(QApplication::arguments());
  if (options.help || !options.unknown.isEmpty()) {
    for (const QString& argument : options.unknown) {
      std::fprintf(stderr, "tarnwick: unknown argument %s\n", argument.toLocal8Bit().constData());
    }
    std::fputs(tw::CLoaderApp::Usage(), options.help ? stdout : stderr);
    return options.help ? 0 : 2;
  }
  tw::CLoaderApp app;
  return app.InitInstance(options);
}
