#pragma once

#include <QString>
#include <QWidget>

// A horizontal 0-100 bar, blue on white in a single-line border, with the
// value printed centred over it as "%d%%". Values outside 0-100 are clamped.
class Gauge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int progress READ progress WRITE setProgress)

public:
    explicit Gauge(QWidget* parent = nullptr);

    int progress() const { return progress_; }
    void setProgress(int value);

    QString text() const;

signals:
    void progressChanged(int progress);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int progress_ = 0;
};
