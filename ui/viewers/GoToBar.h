#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The "Go to" line under a viewer, shown by Ctrl+G: the user types a
// target and presses Enter; Escape hides it. Not modal.
class GoToBar final : public QWidget {
    Q_OBJECT

public:
    GoToBar(const QString& hint, QWidget* parent = nullptr);

    void Open();
    // Tells the user what was wrong with the text, leaving the bar open.
    void ShowProblem(const QString& problem);
    QLineEdit* Edit() const { return edit_; }

signals:
    void Submitted(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* edit_;
    QLabel* problem_;
};
