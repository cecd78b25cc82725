#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Reads PDF files back as a person's tools do (poppler's pdftotext and pdftoppm).
namespace PdfTestSupport {

// The text of the file, pages separated by form feeds ('\f'); empty when pdftotext failed.
QString pdfText(const QString& path);
// The text of each page.
QStringList pdfPages(const QString& path);
// One page as a picture at 96 dots per inch (the page's own pixels), also saved as
// <build>/test-artifacts/<artifactName>.png for a person to look at.
QImage pdfPagePicture(const QString& path, int page, const QString& artifactName);

} // namespace PdfTestSupport
