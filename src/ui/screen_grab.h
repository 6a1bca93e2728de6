#pragma once

#include <QObject>
#include <QString>

namespace tw {

class CLoaderDlg;

// What the dialog shows when its screenshot is taken.
enum class GrabScene {
  AsOpened,
  AfterUpload,    // a memory upload of the SDRAM window into the hex viewer
  WithFiles,      // the last folder expanded in the tree and its media files in the list
  WithSelection,  // after the upload, a block of bytes dragged over in the viewer's hex column
};

// For the documentation's screenshots: once the dialog is up and set as the scene asks, saves the window
// as a PNG file and closes the dialog.
class ScreenGrab : public QObject {
  Q_OBJECT

 public:
  ScreenGrab(CLoaderDlg& dialog, QString path, GrabScene scene);

 private:
  void Begin();
  void StartUpload();
  void ListFiles();
  void DragOverBytes();
  void Grab();

  CLoaderDlg& m_dialog;
  QString m_path;
  GrabScene m_scene;
};

}  // namespace tw
