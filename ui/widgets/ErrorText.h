#pragma once

#include <QString>

#include <exception>

class IOError;

// The engine's errors in the user's language: a file error by its class
// ("File not found: F") or its errno ("I/O error 28: F"), still naming its
// file, with the system's description beside where the text alone does
// not say it ("нет места на диске"); a table that cannot be loaded as
// "Cannot open file NAME", with the same description; anything else as
// its own text.
QString IOErrorText(const IOError& error);
QString ErrorText(const std::exception& error);
// What a job threw; empty for no failure.
QString ErrorText(const std::exception_ptr& failure);
// The system's description of error's errno, in the user's language where
// we have it; empty where the class text already says it ("File not found").
QString SystemDescription(const IOError& error);
