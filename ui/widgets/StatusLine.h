#pragma once

#include <QLabel>

class QFontMetrics;

// A window's status line that never widens the window: a text longer than
// the line is cut after its last whole word that fits, with "…" after it,
// and the whole text shows as its tooltip. text() is always the whole text.
class StatusLine : public QLabel {
    Q_OBJECT

public:
    explicit StatusLine(QWidget* parent = nullptr);

    // The text as drawn at the line's present width.
    QString ShownText() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

// text cut after its last whole word that fits width with "…" after it;
// text itself where it fits. Only a first word wider than width is cut
// inside, there being no word boundary before it.
QString ElideAtWord(const QString& text, const QFontMetrics& metrics, int width);
