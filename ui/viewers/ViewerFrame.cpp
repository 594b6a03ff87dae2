#include "ViewerFrame.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "CloseKeys.h"
#include "GoToBar.h"
#include "StatusLine.h"

ViewerFrame::ViewerFrame(const QString& name, const QString& path, QWidget* parent) : QMainWindow(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("%1 — MAVIK").arg(QFileInfo(path).fileName()));
    auto* central = new QWidget(this);
    column_ = new QVBoxLayout(central);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(0);
    setCentralWidget(central);
    status_ = new StatusLine(this);
    status_->setObjectName(name + QStringLiteral("Status"));
    statusBar()->addWidget(status_, 1);
    tools_ = addToolBar(tr("View"));
    tools_->setMovable(false);

    AddCloseKeys(this, [this] { return Escape(); });
}

bool ViewerFrame::Escape() {
    if (goTo_ && goTo_->isVisible()) {
        goTo_->hide();
        return true;
    }
    return false;
}

GoToBar* ViewerFrame::AddGoToBar(const QString& hint, const QString& problem, QWidget* view,
                                  std::function<bool(const QString&)> go) {
    auto* bar = new GoToBar(hint, centralWidget());
    goTo_ = bar;
    column_->addWidget(bar);
    connect(bar, &GoToBar::Submitted, this, [bar, problem, view, go = std::move(go)](const QString& text) {
        if (go(text)) {
            bar->hide();
            view->setFocus();
        } else {
            bar->ShowProblem(problem);
        }
    });
    return bar;
}

void ViewerFrame::AddGoToAction(const QString& caption, GoToBar* bar) {
    QAction* goTo = tools_->addAction(caption);
    goTo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(goTo, &QAction::triggered, bar, &GoToBar::Open);
}

void ViewerFrame::AddReloadAction(std::function<void()> reload) {
    QAction* action = tools_->addAction(tr("Reload"));
    action->setShortcut(QKeySequence(Qt::Key_F5));
    connect(action, &QAction::triggered, this, std::move(reload));
}
