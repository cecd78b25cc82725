#include "ui/PrintLineMsgsPreview.h"

#include "app/JobControl.h"
#include "export/PrintLineMsgsExec.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <memory>

namespace {
constexpr qreal kMarginPoints = 20;
}

PrintLineMsgsPreview::PrintLineMsgsPreview(QWidget* parent) : QObject(parent), m_parent(parent)
{
}

PrintLineMsgsPreview::~PrintLineMsgsPreview() = default;

void PrintLineMsgsPreview::exec(const PAbsLineMsgsSource& source)
{
    m_source = source;
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::NativeFormat);
    if (!printer.isValid())
        printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(kMarginPoints, kMarginPoints, kMarginPoints, kMarginPoints),
                                      QPageLayout::Point));
    auto dialog = std::make_unique<QPrintPreviewDialog>(&printer, m_parent);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setWindowTitle(tr("IDS_PRINT_MESSAGES"));
    connect(dialog.get(), &QPrintPreviewDialog::paintRequested, this, &PrintLineMsgsPreview::onPaintRequest);
    m_dialog = dialog.get();
    dialog->exec();
    m_dialog = nullptr;
}

void PrintLineMsgsPreview::onPaintRequest(QPrinter* printer)
{
    emit previewPaintRequest(m_dialog, printer, m_source);
}

PrintLineMsgsPreview::Outcome
PrintLineMsgsPreview::printPages(QPrinter& printer, const PAbsLineMsgsSource& source, JobControl& control)
{
    control.setStatus(printingText());
    PrintLineMsgsExec pages(printer, source, 0, kMaxPages, 0);
    pages.run(control);
    return {pages.printedCount(), pages.pageCount(), pages.truncated(), pages.cancelled()};
}

QString PrintLineMsgsPreview::pageLimitText()
{
    return tr(
        "To print more than 100 pages messages, please click \"File\"->\"Export Messages to File\" menu to "
        "save messages to a PDF file first and then print the PDF file.");
}

QString PrintLineMsgsPreview::printingText()
{
    return tr("Printing...");
}
