#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// What the export action writes for the name and filter chosen in its file dialog.
struct ExportTarget
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    QString path; // a file (text, Word-compatible text, CSV) or a folder (PDF, HTML)
    int format = 0;

    // The dialog's filters, in this order: text, Word-compatible text, CSV, PDF, HTML.
    static QStringList filters();
    // Text, Doc and CSV add their suffix only to a name without any; PDF and HTML write a folder named
    // after the part of the name before its first dot, with "-pdf" or "-html" added. Throws
    // std::runtime_error for a filter that is not one of filters().
    static ExportTarget of(const QString& chosenPath, const QString& chosenFilter);
};
