#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <QStringView>

class ExportOpenFiles;

// One exported text file, written in one piece: UTF-8 without a byte-order mark into a temporary file
// beside the target, which replaces the target only on commit(). A file that is never committed (a
// cancelled or failed export, or a program that dies) leaves nothing under the target's name, and an
// older file there stays as it was. Files that share an ExportOpenFiles may be closed between writes
// (their content kept in the temporary file) so that an export of many files stays within the system's
// limit on open files.
class ExportTextFile
{
    Q_DECLARE_TR_FUNCTIONS(ExportTextFile)

public:
    enum LineEnds
    {
        // Every line feed that is not already preceded by a carriage return is written as CR LF, on every
        // platform: the text formats are read on Windows, and a text that already holds CR LF keeps it.
        CrLf,
        // Written as given.
        AsWritten,
    };

    explicit ExportTextFile(const QString& path, LineEnds lineEnds = CrLf);
    ~ExportTextFile();
    ExportTextFile(const ExportTextFile&) = delete;
    ExportTextFile& operator=(const ExportTextFile&) = delete;

    // Shares the bound on open files with the other files of one export; set before open().
    void setOpenFiles(ExportOpenFiles* openFiles) { m_openFiles = openFiles; }

    // False with errorString() set when the temporary file cannot be created.
    bool open();
    // Between a successful open() and commit() or discard(), whether or not parked.
    bool isOpen() const { return m_begun; }

    void write(QStringView text);
    void write(QLatin1StringView text); // ASCII
    void write(QChar character) { write(QStringView(&character, 1)); }
    void writeLine(QStringView text);

    // Writes what is buffered and puts the file in place. False with errorString() set when anything
    // could not be written; the target is then left as it was.
    bool commit();
    // Throws the temporary file away.
    void discard();

    QString path() const { return m_target; }
    QString errorString() const;
    // What to tell the user after open() or commit() failed: the file's path and the reason.
    QString failureText() const;

    // For ExportOpenFiles: writes what is buffered, closes the file and lets the buffer go; the next write
    // reopens it for appending.
    void park();
    quint64 lastWritten() const { return m_lastWritten; }

private:
    void encode(QStringView text);
    void appendLineFeed(bool afterCarriageReturn);
    void flushWhenFull();
    void flushBuffer();
    bool reopen();
    void reopenWhenParked();
    void closeFile();
    void fail(const QString& error);

    QString m_target;
    QString m_temporary;
    QFile m_file;
    bool m_begun = false;
    ExportOpenFiles* m_openFiles = nullptr;
    quint64 m_lastWritten = 0;
    LineEnds m_lineEnds;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    QByteArray m_buffer;
    bool m_lastWasCarriageReturn = false;
    QString m_error; // the first failure
};
