#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QStringEncoder>
#include <QStringView>

// One exported text file, written in one piece: UTF-8 without a byte-order mark into a temporary file
// beside the target, which replaces the target only on commit(). A file that is never committed (a
// cancelled or failed export, or a program that dies) leaves nothing under the target's name, and an
// older file there stays as it was.
class ExportTextFile
{
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

    // False with errorString() set when the temporary file cannot be created.
    bool open();
    bool isOpen() const { return m_file.isOpen(); }

    void write(QStringView text);
    void write(QLatin1StringView text); // ASCII
    void write(QChar character) { write(QStringView(&character, 1)); }
    void writeLine(QStringView text);

    // Writes what is buffered and puts the file in place. False with errorString() set when anything
    // could not be written; the target is then left as it was.
    bool commit();
    // Throws the temporary file away.
    void discard();

    QString path() const { return m_file.fileName(); }
    QString errorString() const;

private:
    void encode(QStringView text);
    void appendLineFeed(bool afterCarriageReturn);
    void flushWhenFull();
    void flushBuffer();

    QSaveFile m_file;
    LineEnds m_lineEnds;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    QByteArray m_buffer;
    bool m_lastWasCarriageReturn = false;
    QString m_error; // the first failure
};
