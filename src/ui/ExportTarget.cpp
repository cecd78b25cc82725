#include "ui/ExportTarget.h"

#include "export/MessageExporter.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

QStringList ExportTarget::filters()
{
    return {tr("Text Files(*.txt)"), tr("Doc Files(*.doc)"), tr("CSV Files(*.csv)"), tr("PDF Files(*.pdf)"),
            tr("HTML Files(*.html)")};
}

ExportTarget ExportTarget::of(const QString& chosenPath, const QString& chosenFilter)
{
    const int choice = int(filters().indexOf(chosenFilter));
    const QFileInfo chosen(chosenPath);
    const bool hasSuffix = !chosen.suffix().isEmpty();
    ExportTarget target;
    switch (choice) {
    case 0:
    case 1:
    case 2: {
        static const char* const suffixes[] = {".txt", ".doc", ".csv"};
        target.format = choice == 2 ? MessageExporter::Csv : MessageExporter::PlainText;
        target.path = hasSuffix ? chosenPath : chosenPath + QLatin1String(suffixes[choice]);
        return target;
    }
    case 3:
    case 4: {
        target.format = choice == 3 ? MessageExporter::Pdf : MessageExporter::Html;
        const QString base = hasSuffix ? chosen.dir().filePath(chosen.baseName()) : chosenPath;
        target.path = base + (choice == 3 ? QStringLiteral("-pdf") : QStringLiteral("-html"));
        return target;
    }
    default:
        throw std::runtime_error("unknown export format.");
    }
}
