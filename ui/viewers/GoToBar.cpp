#include "GoToBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

GoToBar::GoToBar(const QString& hint, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GoToBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(tr("Go to:"), this));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("GoToEdit"));
    edit_->setPlaceholderText(hint);
    layout->addWidget(edit_, 1);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("GoToProblem"));
    layout->addWidget(problem_);
    connect(edit_, &QLineEdit::returnPressed, this, [this] { emit Submitted(edit_->text()); });
    connect(edit_, &QLineEdit::textEdited, problem_, &QLabel::clear);
    hide();
}

void GoToBar::Open() {
    show();
    problem_->clear();
    edit_->selectAll();
    edit_->setFocus();
}

void GoToBar::ShowProblem(const QString& problem) { problem_->setText(problem); }

void GoToBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
