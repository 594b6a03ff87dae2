#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "CodeTable.h"
#include "ConversionRun.h"

class ConvToText;

// What a run takes from the window when it starts; later changes to these
// do not affect it.
struct ConvToTextStart {
    std::string InputPath;
    std::string OutputPath;
    std::string SeparatorText;  // the edit's text as windows-1251 bytes
    bool TabBox1 = false;
    int ConversionMode = 0;
    // The run's own copy: a later load by the window does not reach it.
    CodeTables Tables{};
};

// The window as a run sees it. The three values are read on the run's own
// thread, so the window keeps them in atomics. The two hand-offs must run
// on the window's thread and return only when they have run there.
// RunEnded is told on the run's thread once Finished() is true; it must not
// wait for the window, and the run may be freed as soon as it returns.
class ConvToTextWindow {
public:
    virtual int ConversionMode() const = 0;       // for every block
    virtual std::int64_t BlockCount() const = 0;  // for every block
    virtual bool FormatBox1() const = 0;          // for every record of text output
    virtual void UpdateGauge(ConvToText& run, int progress) = 0;
    virtual void ConvTerminate(ConvToText& run, const ConversionResult& result) = 0;
    virtual void RunEnded(ConvToText& run) = 0;

protected:
    ~ConvToTextWindow() = default;
};

// One conversion run on a thread of its own, started by the constructor.
// Each run has its own Converting flag, so a run that was told to stop can
// never be revived by the next run's start.
class ConvToText : private RunSettings {
public:
    ConvToText(ConvToTextWindow& window, ConvToTextStart start);
    // Waits for the thread. Whoever destroys a run that has not finished
    // must keep serving its hand-offs meanwhile, or call Abort first and
    // then serve them: the run does not skip them.
    ~ConvToText();
    ConvToText(const ConvToText&) = delete;
    ConvToText& operator=(const ConvToText&) = delete;

    // Ends the run after the block it is working on (at the latest after
    // its first block).
    void Stop();
    // Holds the run at its next block boundary until Resume, Stop or Abort.
    void Pause();
    void Resume();
    // Stop and release a pause, for a window that is closing.
    void Abort();

    bool IsConverting() const { return converting_.load(); }
    const ConvToTextStart& StartValues() const { return start_; }
    int Progress() const { return progress_.load(); }
    // True once the body and its termination hand-off are over.
    bool Finished() const { return finished_.load(); }
    // True while a pause holds the run at its block boundary.
    bool IsParked() const { return parked_.load(); }

private:
    void Body();

    // RunSettings, as the block loop reads them.
    int ConversionMode() const override;
    std::int64_t BlockCount() const override;
    bool FormatBox1() const override;
    bool Converting() override;
    void UpdateGauge(int progress) override;

    ConvToTextWindow& window_;
    const ConvToTextStart start_;
    std::atomic<bool> converting_{true};
    std::atomic<int> progress_{0};
    std::atomic<bool> finished_{false};
    std::atomic<bool> parked_{false};
    std::mutex gateMutex_;
    std::condition_variable gate_;
    bool paused_ = false;
    std::thread thread_;  // last: starts once everything above is in place
};
