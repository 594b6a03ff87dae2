#pragma once

#include <QMainWindow>

#include <functional>

#include "StatusLine.h"

class GoToBar;
class QToolBar;
class QVBoxLayout;

// What the byte and the text viewer windows have in common: a top-level
// window over one file that deletes itself on close, a column for the
// view and its bars, a status line, a tool bar, a go-to bar (Ctrl+G) and
// a reload (F5).
class ViewerFrame : public QMainWindow {
    Q_OBJECT

protected:
    ViewerFrame(const QString& name, const QString& path, QWidget* parent);

    QVBoxLayout* Column() const { return column_; }
    QToolBar* Tools() const { return tools_; }
    // The go-to bar under the column's widgets so far. go returns false
    // when the text is no target; the bar then says problem and stays.
    GoToBar* AddGoToBar(const QString& hint, const QString& problem, QWidget* view,
                        std::function<bool(const QString&)> go);
    // A tool-bar action opening the go-to bar with Ctrl+G.
    void AddGoToAction(const QString& caption, GoToBar* bar);
    void AddReloadAction(std::function<void()> reload);
    // What Esc does before it closes the window: true when it did
    // something else (cancelled a find, closed a bar) and the window stays.
    virtual bool Escape();

    StatusLine* status_;

private:
    QVBoxLayout* column_;
    GoToBar* goTo_ = nullptr;
    QToolBar* tools_;
};
