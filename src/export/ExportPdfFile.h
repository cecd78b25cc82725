#pragma once

#include <QFile>
#include <QString>

// One PDF file of an export, written into a temporary file beside its target and put in place only by
// commit(): a cancelled or failed export leaves nothing under the target's name, and an older file there
// stays as it was until the export has succeeded. Closed once written, so that an export of many files
// keeps at most one open.
class ExportPdfFile
{
public:
    explicit ExportPdfFile(const QString& target);
    ~ExportPdfFile();
    ExportPdfFile(const ExportPdfFile&) = delete;
    ExportPdfFile& operator=(const ExportPdfFile&) = delete;

    // Opens the temporary file for reading and writing; throws std::runtime_error when it cannot be created.
    QFile& open();
    // Puts what was written on the disk and closes the file; throws when that fails.
    void finish();
    // Renames the temporary file to the target, replacing an older file; throws when that fails.
    void commit();

    const QString& target() const { return m_target; }

private:
    QString m_target;
    QString m_temporary;
    QFile m_file;
    bool m_committed = false;
};
