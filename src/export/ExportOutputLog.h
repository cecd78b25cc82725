#pragma once

#include <QString>
#include <QStringList>

// The files and folders one export created, so that a cancelled or failed export takes back exactly
// those and nothing the user already had (an existing output folder, older files in it). Used by the
// export's own thread only.
class ExportOutputLog
{
public:
    // Creates the folder with any missing parents and records those it created. False when the folder
    // cannot be created (what was created on the way stays recorded).
    bool makeFolder(const QString& path);
    // Records a file the export put in place.
    void addFile(const QString& path);

    // Removes the recorded files, newest first, then the recorded folders, deepest first, each only when
    // it is empty by then. Forgets everything.
    void rollback();
    // Keeps everything: the export finished.
    void clear();

    const QStringList& createdFiles() const { return m_files; }
    const QStringList& createdFolders() const { return m_folders; }

private:
    QStringList m_files;
    QStringList m_folders; // outermost first
};
