#include "ConversionRuns.h"

#include <QEventLoop>

ConversionRuns::ConversionRuns(QObject* parent)
    : QObject(parent), RunLifetimes(static_cast<FormThread&>(*this)) {}

ConversionRuns::~ConversionRuns() { StopAndWait(); }

void ConversionRuns::Call(const std::function<void()>& work) {
    QMetaObject::invokeMethod(this, [&work] { work(); }, Qt::BlockingQueuedConnection);
}

void ConversionRuns::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(
        this,
        [this, work = std::move(work)] {
            work();
            for (QEventLoop* wait : waits_)
                wait->quit();
        },
        Qt::QueuedConnection);
}

void ConversionRuns::ServeUntil(const std::function<bool()>& done) {
    QEventLoop wait;
    waits_.push_back(&wait);
    while (!done())
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    std::erase(waits_, &wait);
}
