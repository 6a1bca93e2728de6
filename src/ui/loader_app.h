#pragma once

#include <QStringList>

namespace tw {

// What the command line asks of the application; everything else is as the dialog decides.
struct LoaderAppOptions {
  bool simulate = false;     // --simulate: the embedded simulated box as COM 1
  bool engineering = false;  // --engineering: open expanded with the lower panel enabled
  bool help = false;
  QStringList unknown;
};

// The application object: runs the main dialog modally; the program ends when it closes.
class CLoaderApp {
 public:
  [[nodiscard]] static LoaderAppOptions ParseArguments(const QStringList& arguments);
  [[nodiscard]] static const char* Usage();

  // Returns the process exit status.
  int InitInstance(const LoaderAppOptions& options);
};

}  // namespace tw
