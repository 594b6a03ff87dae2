#include "Job.h"

#include <stdexcept>

#include "IOError.h"

int JobProgress::Percent(bool finished) const {
    const std::uint64_t total = Total.load(std::memory_order_relaxed);
    if (total == 0)
        return finished ? 100 : 0;
    const std::uint64_t done = Done.load(std::memory_order_relaxed);
    return done >= total ? 100 : static_cast<int>(done * 100 / total);
}

std::string JobFailure(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const IOError& e) {
        return e.FileName() + ": " + e.what();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}
