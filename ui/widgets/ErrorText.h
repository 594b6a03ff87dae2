#pragma once

#include <QString>

#include <exception>

class IOError;

// The engine's errors in the user's language: a file error by its code,
// still naming its file; anything else as its own text.
QString IOErrorText(const IOError& error);
QString ErrorText(const std::exception& error);
// What a job threw; empty for no failure.
QString ErrorText(const std::exception_ptr& failure);
