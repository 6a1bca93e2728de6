#pragma once

#include <QObject>
#include <QString>

namespace tw {

class CLoaderDlg;

// For the documentation's screenshots: once the dialog is up (and, if asked, after a memory upload of
// the SDRAM window into the hex viewer), saves the window as a PNG file and closes the dialog.
class DlgScreenGrab : public QObject {
    Q_OBJECT

public:
    DlgScreenGrab(CLoaderDlg& dialog, QString path, bool uploadFirst);

private:
    void Begin();
    void StartUpload();
    void Grab();

    CLoaderDlg& m_dialog;
    QString m_path;
    bool m_uploadFirst;
};

}  // namespace tw
