#include "RunLifetimes.h"

#include <algorithm>

#include "FormThread.h"

void RunLifetimes::Start(ConvToTextWindow& window, ConvToTextStart start) {
    ReleaseEnded();
    if (!runs_.empty() && runs_.back().run->Finished())
        runs_.pop_back();
    runs_.push_back({++lastSerial_, std::make_unique<ConvToText>(window, std::move(start))});
}

ConvToText* RunLifetimes::Current() const {
    return runs_.empty() || runs_.back().serial != lastSerial_ ? nullptr : runs_.back().run.get();
}

RunLifetimes::Serial RunLifetimes::CurrentSerial() const { return Current() ? lastSerial_ : 0; }

ConvToText* RunLifetimes::Find(Serial serial) const {
    for (const Held& held : runs_)
        if (held.serial == serial)
            return held.run.get();
    return nullptr;
}

void RunLifetimes::HandOff(ConvToText& run, const std::function<void()>& work) {
    thread_.Call([this, &run, &work] {
        served_.push_back(&run);
        work();
        served_.pop_back();
    });
}

// Posted: the run's thread is still on its way out and is joined when the
// run is freed.
void RunLifetimes::RunEnded() {
    thread_.Post([this] { ReleaseEnded(); });
}

bool RunLifetimes::Served(const ConvToText* run) const {
    return std::find(served_.begin(), served_.end(), run) != served_.end();
}

void RunLifetimes::ReleaseEnded() {
    const ConvToText* current = Current();
    std::erase_if(runs_, [current](const Held& held) {
        return held.run.get() != current && held.run->Finished();
    });
}

void RunLifetimes::StopAndWait() {
    stopping_ = true;
    for (const Held& held : runs_)
        held.run->Abort();
    // Blocking here would deadlock against a run waiting for this thread to
    // take a hand-off, so the wait serves them; the posted word of a run's
    // end makes it look again.
    thread_.ServeUntil([this] {
        return std::all_of(runs_.begin(), runs_.end(), [this](const Held& held) {
            return Served(held.run.get()) || held.run->Finished();
        });
    });
    std::erase_if(runs_, [this](const Held& held) { return !Served(held.run.get()); });
}
