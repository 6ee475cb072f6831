// studio_panes.h - the studio's panes beside the picture: the outline of
// the scene, the inspector of the item selected, and the list of problems.
//
// Each pane shows what the studio hands it (studio_doc.h, inspector.h) and
// says what the user chose in a signal; showing never emits one.
//
//   OutlinePane    the camera, the lights, the depth, the primitives by
//                  their CSG groups, each with its line; chosen(item), the
//                  current row; Ctrl and Shift choose several (items())
//   InspectorPane  the fields of one item by name: whole numbers in spin
//                  boxes, codes as choices, real numbers in boxes that keep
//                  the text typed, colours with a button; edit(values) when
//                  the user changes one (a colour: three values at once)
//   MessagesPane   every finding in full; chosen(mark) on a click
#pragma once

#include "app/studio/inspector.h"

#include <QAbstractSpinBox>
#include <QListWidget>
#include <QTreeWidget>
#include <QWidget>
#include <vector>

class QFormLayout;
class QLabel;

class OutlinePane : public QTreeWidget {
    Q_OBJECT
public:
    explicit OutlinePane(QWidget *parent);
    void show_items(const std::vector<outline_item> &items);
    // -1: none; an item among several chosen stays with them
    void select_item(int item);
    int selected() const;           // the current row when it is chosen
    std::vector<int> items() const; // every row chosen, the current one first

signals:
    void chosen(int item);
};

// A real number's box: the text as typed, stepped by its last decimal
// place (inspector.h's stepped_text); committed(text) when the user is done.
class RealBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit RealBox(QWidget *parent);
    void set_text(const QString &t);
    void stepBy(int steps) override;

signals:
    void committed(const QString &text);

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    QString shown;
};

class InspectorPane : public QWidget {
    Q_OBJECT
public:
    explicit InspectorPane(QWidget *parent);
    // The fields of an item; the same fields as shown get their new values
    // in place, leaving the box the user is in alone.
    void show_rows(const QString &title, const std::vector<inspector_row> &rows);

signals:
    void edit(const std::vector<field_value> &values);

private:
    void rebuild(const std::vector<inspector_row> &rows);
    void update_values(const std::vector<inspector_row> &rows);
    QWidget *editor_for(const inspector_row &row);
    void update_colour();

    QLabel *title;
    QFormLayout *form;
    std::vector<inspector_row> shown;
    std::vector<QWidget *> boxes; // one per row
    class QPushButton *colour = nullptr;
};

class MessagesPane : public QListWidget {
    Q_OBJECT
public:
    explicit MessagesPane(QWidget *parent);
    void show_marks(const std::vector<studio_mark> &marks);
    void show_note(const QString &note); // a line that is no finding

signals:
    void chosen(int mark);
};
