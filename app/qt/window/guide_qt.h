// guide_qt.h - the guide in a window of its own: docs/guide.md as found
// beside the program or where it is installed (guide_file.h), shown from
// its Markdown with its pictures.
//
// The headings carry the anchors the guide's own links name, so its
// contents go where they say; a link out of the guide (a web page, the
// scenes' folder, a scene file) opens in the desktop's program for it.
// Escape closes the window. A guide that was not found is said so, with
// where it was looked for.
#pragma once

#include <QTextBrowser>

// The guide beside the program or where it is installed; "" when neither
// has it. guide_places() says where it is looked for.
QString guide_found();
QString guide_places();

class GuideWin : public QTextBrowser {
    Q_OBJECT
public:
    explicit GuideWin(QWidget *parent);
    // Shows the guide at path from its top; path "" says it was not found
    // (looked: where it was looked for).
    void open(const QString &path, const QString &looked);

private:
    void name_headings();
    void follow(const QUrl &link);
};
