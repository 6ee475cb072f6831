// The print dialog and the page, for InitPrint.
#include "../../base/msg.h"
#include "../appstate.h"
#include "../display_port.h"
#include "mainwin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {

// Where "Print to File" writes unless the user says otherwise: beside the
// last file opened or saved, named after it, else in the home directory.
QString pdf_name()
{
    QFileInfo last(QFile::decodeName(szFName));
    QString dir = QDir::homePath();
    if (szFName[0] && QFileInfo(last.absolutePath()).isWritable())
        dir = last.absolutePath();
    QString stem = szFName[0] ? last.completeBaseName() : QString();
    int dot = stem.indexOf('.');
    if (dot >= 0)
        stem.truncate(dot);
    if (stem.isEmpty())
        stem = "KORU";
    return dir + "/" + stem + ".pdf";
}

} // namespace

int MainWin::print_setup(const char *docname, int &pw, int &ph)
{
    if (!printer)
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(QFile::decodeName(docname));
    // a name from the document name would hold the path: choose one
    if (printer->outputFormat() == QPrinter::PdfFormat)
        printer->setOutputFileName(pdf_name());
    bool ok;
    if (print_hook) {
        ok = print_hook(*printer);
    } else {
        QPrintDialog dlg(printer.get(), this);
        dlg.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
        ok = dlg.exec() == QDialog::Accepted;
    }
    if (!ok)
        return 0;
    pw = printer->width();
    ph = printer->height();
    return 1;
}

int MainWin::print_page(int w, int h, int scale, msglist &msgs)
{
    QPainter p;
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
    int sw, sh, dw, dh;
    disp_copy(w, h, scale, sw, sh, dw, dh);
    if (sw > 0 && sh > 0)
        p.drawImage(QRect(0, 0, dw, dh), grid_image(), QRect(0, 0, sw, sh));
    if (!p.end()) {
        msgs.add("the page was not finished");
        return 0;
    }
    return 1;
}
