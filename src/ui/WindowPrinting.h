#pragma once

#include "line/AbsLineMsgsSource.h"

#include <QObject>
#include <QPrintPreviewDialog>
#include <QPrinter>

class QWidget;

// Printing from the window: the print preview of a message source, whose pages are painted behind a
// progress form that is not modal (the preview stays usable), at most PrintLineMsgsPreview::kMaxPages
// of them; beyond that the user is sent to the PDF export and the preview closes.
class WindowPrinting : public QObject
{
    Q_OBJECT

public:
    explicit WindowPrinting(QWidget* window);

    // Shows the preview of source until the user closes it; does nothing while another search, export
    // or print runs.
    void print(const PAbsLineMsgsSource& source);

public slots:
    // Paints source's pages on the preview's printer.
    void onPreviewPaintRequest(QPrintPreviewDialog* preview, QPrinter* printer, PAbsLineMsgsSource source);

private:
    QWidget* m_window;
};
