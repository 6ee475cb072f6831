#include "app/qt/dialogs/print_qt.h"

#include "base/msg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {

// Where "Print to File" writes unless the user says otherwise: beside the
// last file opened or saved, named after it, else in the home directory.
QString pdf_name(const std::string &last_file)
{
    QFileInfo last(QFile::decodeName(last_file.c_str()));
    QString dir = QDir::homePath();
    if (!last_file.empty() && QFileInfo(last.absolutePath()).isWritable())
        dir = last.absolutePath();
    QString stem = last_file.empty() ? QString() : last.completeBaseName();
    int dot = stem.indexOf('.');
    if (dot >= 0)
        stem.truncate(dot);
    if (stem.isEmpty())
        stem = "KORU";
    return dir + "/" + stem + ".pdf";
}

} // namespace

PagePrinter::PagePrinter() = default;
PagePrinter::~PagePrinter() = default;

int PagePrinter::setup(QWidget *parent, const std::function<bool(QPrinter &)> &hook,
                       const char *docname, const std::string &last_file, int &pw, int &ph)
{
    if (!printer)
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(QFile::decodeName(docname));
    // a name from the document name would hold the path: choose one
    if (printer->outputFormat() == QPrinter::PdfFormat)
        printer->setOutputFileName(pdf_name(last_file));
    bool ok;
    if (hook) {
        ok = hook(*printer);
    } else {
        QPrintDialog dlg(printer.get(), parent);
        dlg.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
        ok = dlg.exec() == QDialog::Accepted;
    }
    if (!ok)
        return 0;
    pw = printer->width();
    ph = printer->height();
    return 1;
}

int PagePrinter::page(const QImage &grid, const copyrect &c, msglist &msgs)
{
    QPainter p;
    if (!printer) {
        msgs.add("no printer was chosen");
        return 0;
    }
    if (!p.begin(printer.get())) {
        if (!printer->outputFileName().isEmpty())
            msgs.add("cannot write \"%s\"",
                     QFile::encodeName(printer->outputFileName()).constData());
        else
            msgs.add("the printer \"%s\" did not take the page",
                     printer->printerName().toLocal8Bit().constData());
        return 0;
    }
    p.setRenderHint(QPainter::LosslessImageRendering);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (c.sw > 0 && c.sh > 0)
        p.drawImage(QRect(0, 0, c.dw, c.dh), grid, QRect(0, 0, c.sw, c.sh));
    if (!p.end()) {
        msgs.add("the page was not finished");
        return 0;
    }
    return 1;
}
