#pragma once

#include <QString>

#include <exception>

class IOError;

// The engine's errors in the user's language, in the form's words
// (ui/form RunWords): a file error by its class or its errno, still naming
// its file, with the system's description beside where it helps; a table
// that cannot be loaded as "Cannot open file NAME" with the same
// description; anything else as its own text.
QString IOErrorText(const IOError& error);
QString ErrorText(const std::exception& error);
// What a job threw; empty for no failure.
QString ErrorText(const std::exception_ptr& failure);
