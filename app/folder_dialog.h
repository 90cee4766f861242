#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QFileSystemModel;
class QTreeView;

namespace warenkai {

// The roots of the file system, as the drive list offers them ("/" on this platform).
QStringList DriveRoots();

// The folder dialog "Durchsuchen": a drive list, a folder list starting at `startFolder` when that
// folder exists (else at the current working folder), "OK", which writes the folder open in the list
// into `chosenFolder` and accepts the dialog, and "Abbrechen". "Abbrechen" and the close box leave
// `chosenFolder` as it was and reject the dialog.
class Durchsuchen : public QDialog {
    Q_OBJECT
public:
    Durchsuchen(QString& chosenFolder, QWidget* owner, const QString& startFolder = {},
                const QStringList& roots = DriveRoots());

    // The folder open in the folder list: a full path without a closing separator, except for a root.
    QString OpenFolder() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void DriveChosen(int index);
    void ShowFolder(const QString& folder);
    void Ok();

    QString& m_chosenFolder;
    QComboBox* m_drives;
    QTreeView* m_folders;
    QFileSystemModel* m_model;
    QString m_openFolder;
    QString m_openDrive;
    bool m_scrollPending = false;
};

}  // namespace warenkai
