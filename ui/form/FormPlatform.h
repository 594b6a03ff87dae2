#pragma once

#include <optional>
#include <string>

// Everything the form does that is modal or leaves the process, in UTF-8.
// Each window gives its own; the tests give a fake that records what was
// asked and answers from a script.
class FormPlatform {
public:
    enum class Icon { Information, Warning, Question, Error };
    enum class Buttons { Ok, YesNo };  // with Yes and No, Yes is the default
    enum class Answer { Ok, Yes, No };

    // The open-file dialog, owned by the window: one existing file, starting
    // in initialFolder (relative to the current folder). Nothing when cancelled.
    virtual std::optional<std::string> ChooseInputFile(const std::string& initialFolder) = 0;
    // A modal message box, owned by the window or else by the application.
    // A "\r" in text breaks the line; details, when not empty, goes under
    // the text, smaller.
    virtual Answer ShowMessageBox(bool ownedByWindow, const std::string& text, const std::string& caption,
                                  Icon icon, Buttons buttons, const std::string& details) = 0;
    // Starts program (a name without a folder) with argument as its one
    // argument (none when empty), without waiting and without reporting
    // whether it started.
    virtual void RunProgram(const std::string& program, const std::string& argument) = 0;
    // Whether RunProgram would find program.
    virtual bool ProgramFound(const std::string& program) const = 0;
    // The full path of the running program.
    virtual std::string ExecutablePath() const = 0;

protected:
    ~FormPlatform() = default;
};
