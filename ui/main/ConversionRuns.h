#pragma once

#include <QObject>

#include <functional>
#include <vector>

#include "FormThread.h"
#include "RunLifetimes.h"

class QEventLoop;

// One window's conversion runs on Qt's event loop: the runs' hand-offs are
// queued to this object's thread, and the wait for them is a nested event
// loop that takes no user input.
class ConversionRuns : public QObject, private FormThread, public RunLifetimes {
    Q_OBJECT

public:
    explicit ConversionRuns(QObject* parent = nullptr);
    // Stops every run and waits for it.
    ~ConversionRuns() override;

private:
    void Call(const std::function<void()>& work) override;
    void Post(std::function<void()> work) override;
    void ServeUntil(const std::function<bool()>& done) override;

    std::vector<QEventLoop*> waits_;
};
