// print_qt.h - the print dialog and the page, for the window's ui_port
// (print_setup and print_page; the logic is in print.h).
//
// setup() shows the print dialog over parent with "Print to File (PDF)"
// offered, the document named docname; a PDF goes beside last_file (the
// file last opened or saved), named after it, else into the home folder.
// A hook, when set, configures the printer and says OK or Cancel instead
// of the dialog (for tests). It gives the printable area in device dots;
// 0 when cancelled. page() copies the top-left c.sw x c.sh dots of grid
// to the page's top-left as c.dw x c.dh, losslessly and without
// smoothing; 0 with the reason in msgs when the page could not be made.
#pragma once

#include "image/display.h"

#include <QImage>
#include <functional>
#include <memory>
#include <string>

class QPrinter;
class QWidget;
struct msglist;

class PagePrinter {
public:
    PagePrinter();
    ~PagePrinter();
    int setup(QWidget *parent, const std::function<bool(QPrinter &)> &hook, const char *docname,
              const std::string &last_file, int &pw, int &ph);
    int page(const QImage &grid, const copyrect &c, msglist &msgs);

private:
    std::unique_ptr<QPrinter> printer;
};
