#include "app/qt/studio/studio_editor.h"

#include <QFontDatabase>
#include <Qsci/qscistyle.h>

namespace {

constexpr int MARK_PROBLEM = 1;  // the margin's mark of a line with a finding
constexpr int INDIC_PROBLEM = 8; // the underline of a finding (the first free to users)
constexpr int MARGIN_LINES = 0;  // line numbers
constexpr int MARGIN_MARKS = 1;  // the problems' marks
constexpr int DWELL_MS = 500;    // the mouse rests this long before a number is named
constexpr int HINT_STYLE = 60;   // the style of the field-name hints
const QColor PROBLEM_COLOUR(0xd0, 0x20, 0x20);
const QColor CURRENT_LINE(0xee, 0xf3, 0xfc);
const QColor HINT_COLOUR(0x9a, 0x9a, 0x9a);

} // namespace

SceneEditor::SceneEditor(QWidget *parent) : QsciScintilla(parent)
{
    setObjectName("scene_text");
    setUtf8(true);
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(mono);
    setMarginsFont(mono);
    setTabWidth(8);
    setIndentationsUseTabs(false);
    setWrapMode(WrapNone);

    // Line numbers, the current line, the problems' margin
    setMarginType(MARGIN_LINES, NumberMargin);
    setMarginWidth(MARGIN_LINES, "00000");
    setMarginLineNumbers(MARGIN_LINES, true);
    setMarginType(MARGIN_MARKS, SymbolMargin);
    setMarginWidth(MARGIN_MARKS, 14);
    setMarginSensitivity(MARGIN_MARKS, false);
    markerDefine(Circle, MARK_PROBLEM);
    setMarkerBackgroundColor(PROBLEM_COLOUR, MARK_PROBLEM);
    setMarkerForegroundColor(PROBLEM_COLOUR, MARK_PROBLEM);
    setMarginMarkerMask(MARGIN_MARKS, 1 << MARK_PROBLEM);
    setMarginMarkerMask(MARGIN_LINES, 0);
    setCaretLineVisible(true);
    setCaretLineBackgroundColor(CURRENT_LINE);
    indicatorDefine(SquiggleIndicator, INDIC_PROBLEM);
    setIndicatorForegroundColor(PROBLEM_COLOUR, INDIC_PROBLEM);
    setAnnotationDisplay(AnnotationStandard);

    // Hovering, and the cursor's moves
    SendScintilla(SCI_SETMOUSEDWELLTIME, (unsigned long)DWELL_MS);
    connect(this, &QsciScintillaBase::SCN_DWELLSTART, this, [this](int pos, int x, int y) {
        if (pos >= 0)
            emit hovered((size_t)pos, viewport()->mapToGlobal(QPoint(x, y)));
    });
    connect(this, &QsciScintillaBase::SCN_DWELLEND, this, [this](int, int, int) { emit left(); });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) {
        const long now = (long)caret();
        if (now != caret_seen) {
            caret_seen = now;
            emit caret_moved();
        }
    });
}

std::string SceneEditor::bytes() const
{
    const long n = SendScintilla(SCI_GETTEXTLENGTH);
    std::string t((size_t)n + 1, '\0');
    SendScintilla(SCI_GETTEXT, (unsigned long)(n + 1), (void *)t.data());
    t.resize((size_t)n);
    return t;
}

void SceneEditor::set_bytes(std::string text, bool keep_view)
{
    const long at = (long)caret(), first = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const long xoff = SendScintilla(SCI_GETXOFFSET);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, (uintptr_t)text.size(), text.data());
    // new lines end as the file's do
    setEolMode(text.find("\r\n") != std::string::npos ? EolWindows : EolUnix);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    if (keep_view) {
        const long pos = std::min(at, (long)text.size());
        SendScintilla(SCI_SETEMPTYSELECTION, (unsigned long)pos);
        SendScintilla(SCI_SETFIRSTVISIBLELINE, (unsigned long)first);
        SendScintilla(SCI_SETXOFFSET, (unsigned long)xoff);
    } else {
        SendScintilla(SCI_GOTOPOS, 0UL);
    }
}

void SceneEditor::apply(const text_edit &e)
{
    // Remember the cursor, the selection and the scroll
    const size_t anchor = (size_t)SendScintilla(SCI_GETANCHOR), at = caret();
    const long first = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const long xoff = SendScintilla(SCI_GETXOFFSET);

    // Replace the stretch, as one step of undo
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_SETTARGETRANGE, (unsigned long)e.at, (long)(e.at + e.old_text.size()));
    SendScintilla(SCI_REPLACETARGET, (uintptr_t)e.new_text.size(), e.new_text.data());
    SendScintilla(SCI_ENDUNDOACTION);

    // Put them back on the text they were on
    SendScintilla(SCI_SETSEL, (unsigned long)moved_position(anchor, e),
                  (long)moved_position(at, e));
    SendScintilla(SCI_SETFIRSTVISIBLELINE, (unsigned long)first);
    SendScintilla(SCI_SETXOFFSET, (unsigned long)xoff);
}

void SceneEditor::set_saved() { SendScintilla(SCI_SETSAVEPOINT); }

void SceneEditor::show_marks(const std::vector<studio_mark> &marks)
{
    const long n = SendScintilla(SCI_GETTEXTLENGTH);
    SendScintilla(SCI_SETINDICATORCURRENT, (unsigned long)INDIC_PROBLEM);
    SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, n);
    markerDeleteAll(MARK_PROBLEM);
    for (const studio_mark &m : marks) {
        if (!m.len || (long)(m.at + m.len) > n)
            continue;
        SendScintilla(SCI_INDICATORFILLRANGE, (unsigned long)m.at, (long)m.len);
        markerAdd(m.line - 1, MARK_PROBLEM);
    }
}

void SceneEditor::show_hints(const std::vector<hint_line> &lines)
{
    clearAnnotations();
    const QsciStyle style(HINT_STYLE, "field names", HINT_COLOUR, paper(), font());
    for (const hint_line &h : lines) {
        QString text;
        for (size_t i = 0; i < h.rows.size(); i++)
            text += (i ? "\n" : "") + QString::fromStdString(h.rows[i]);
        annotate(h.line - 1, text, style);
    }
}

size_t SceneEditor::caret() const { return (size_t)SendScintilla(SCI_GETCURRENTPOS); }

void SceneEditor::select_bytes(size_t at, size_t len)
{
    // the caret at the start, so that a long record shows from its start
    SendScintilla(SCI_SETSEL, (unsigned long)(at + len), (long)at);
    SendScintilla(SCI_SCROLLRANGE, (unsigned long)at, (long)(at + len));
}

bool SceneEditor::find_text(const QString &text, bool forward)
{
    if (text.isEmpty())
        return false;
    if (forward)
        return findFirst(text, false, false, false, true, true);
    // back from the start of the selection, so a match found stays behind
    int l0, i0, l1, i1;
    getSelection(&l0, &i0, &l1, &i1);
    if (l0 < 0)
        getCursorPosition(&l0, &i0);
    return findFirst(text, false, false, false, true, false, l0, i0);
}
