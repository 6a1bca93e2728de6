#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// What the command line asks of the application; everything else is as the dialog decides.
struct LoaderAppOptions {
  bool simulate = false;     // --simulate: the embedded simulated box as COM 1
  bool engineering = false;  // --engineering: open expanded with the lower panel enabled
  bool help = false;
  bool version = false;
  QString error;  // a command line the parser refused, in its words; empty when it was fine
};

// The application object: runs the main dialog modally; the program ends when it closes.
class CLoaderApp {
 public:
  [[nodiscard]] static LoaderAppOptions ParseArguments(const QStringList& arguments);
  [[nodiscard]] static QString Usage();
  // "tarnwick 1.0.0", the program and its version.
  [[nodiscard]] static QString VersionText();

  // Returns the process exit status.
  int InitInstance(const LoaderAppOptions& options);
};

}  // namespace tw
