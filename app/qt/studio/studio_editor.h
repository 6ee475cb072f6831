// studio_editor.h - the scene's text in the studio: a code editor
// (QScintilla) that keeps the file's bytes exactly as they are.
//
// The text goes in and out as bytes (never through a QString), so a file's
// layout, line ends and any byte that is no UTF-8 stay as they were;
// positions are byte offsets, as studio_doc.h's are. Line numbers, the
// current line, undo and redo are the editor's own.
//
//   ed.set_bytes(text, keep)   a new text: no undo behind it, saved; keep:
//                              the cursor and the scroll stay where they were
//   ed.apply(edit)             one stretch replaced as one undo step, the
//                              cursor, selection and scroll kept on the text
//                              they were on
//   ed.show_marks(marks)       every finding underlined, its line marked in
//                              the margin; the last marks go first
//   ed.show_hints(lines)       field names under the lines given, faint
//
// hovered(at, where) says the mouse rests on byte at (where: a point of the
// screen); left() that it moved on. caret_moved() follows the cursor.
#pragma once

#include "app/studio/studio_doc.h"

#include <Qsci/qsciscintilla.h>
#include <string>
#include <vector>

class SceneEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit SceneEditor(QWidget *parent);

    std::string bytes() const;
    // (text is a copy: the editor's own change signals may change what it came from)
    void set_bytes(std::string text, bool keep_view);
    void apply(const text_edit &e);
    void set_saved();

    void show_marks(const std::vector<studio_mark> &marks);
    void show_hints(const std::vector<hint_line> &lines);

    size_t caret() const;
    // Puts the cursor at offset at (selecting len bytes from there) and
    // scrolls it into view.
    void select_bytes(size_t at, size_t len);
    // Finds text from the cursor, forward or back, round the end.
    bool find_text(const QString &text, bool forward);

signals:
    void hovered(size_t at, QPoint where);
    void left();
    void caret_moved();

private:
    long caret_seen = -1;
};
