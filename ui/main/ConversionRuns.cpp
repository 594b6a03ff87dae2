#include "ConversionRuns.h"

#include <QEventLoop>

#include <algorithm>

ConversionRuns::ConversionRuns(QObject* parent) : QObject(parent) {}

ConversionRuns::~ConversionRuns() { StopAndWait(); }

void ConversionRuns::Start(ConvToTextWindow& window, ConvToTextStart start) {
    ReleaseEnded();
    if (!runs_.empty() && runs_.back().run->Finished())
        runs_.pop_back();
    runs_.push_back({++lastSerial_, std::make_unique<ConvToText>(window, std::move(start))});
}

ConvToText* ConversionRuns::Current() const {
    return runs_.empty() || runs_.back().serial != lastSerial_ ? nullptr : runs_.back().run.get();
}

ConversionRuns::Serial ConversionRuns::CurrentSerial() const { return Current() ? lastSerial_ : 0; }

ConvToText* ConversionRuns::Find(Serial serial) const {
    for (const Held& held : runs_)
        if (held.serial == serial)
            return held.run.get();
    return nullptr;
}

void ConversionRuns::HandOff(ConvToText& run, const std::function<void()>& work) {
    QMetaObject::invokeMethod(
        this,
        [this, &run, &work] {
            served_.push_back(&run);
            work();
            served_.pop_back();
        },
        Qt::BlockingQueuedConnection);
}

void ConversionRuns::RunEnded() {
    // Queued: the run's thread is still on its way out and is joined when
    // the run is freed.
    QMetaObject::invokeMethod(
        this,
        [this] {
            ReleaseEnded();
            for (QEventLoop* wait : waits_)
                wait->quit();
        },
        Qt::QueuedConnection);
}

bool ConversionRuns::Served(const ConvToText* run) const {
    return std::find(served_.begin(), served_.end(), run) != served_.end();
}

void ConversionRuns::ReleaseEnded() {
    const ConvToText* current = Current();
    std::erase_if(runs_, [current](const Held& held) {
        return held.run.get() != current && held.run->Finished();
    });
}

void ConversionRuns::StopAndWait() {
    stopping_ = true;
    for (const Held& held : runs_)
        held.run->Abort();
    const auto allEnded = [this] {
        return std::all_of(runs_.begin(), runs_.end(), [this](const Held& held) {
            return Served(held.run.get()) || held.run->Finished();
        });
    };
    // Blocking here would deadlock against a run waiting for this thread to
    // take a hand-off, so the wait is an event loop that takes them; the
    // queued word of a run's end wakes it to look again.
    QEventLoop wait;
    waits_.push_back(&wait);
    while (!allEnded())
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    std::erase(waits_, &wait);
    std::erase_if(runs_, [this](const Held& held) { return !Served(held.run.get()); });
}
