#pragma once

#include <QLabel>

// A fixed-size text in a sunken border that can report a click.
class StaticText : public QLabel {
    Q_OBJECT

public:
    explicit StaticText(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
