#pragma once

#include "data/Errors.h"

#include <QByteArray>
#include <functional>

// A child process that ended without an answer: killed by a signal or exited early.
class ChildProcessError : public TembrelError {
public:
    using TembrelError::TembrelError;
    const char* kind() const noexcept override { return "ChildProcessError"; }
};

// Runs `work` in a forked child process and returns the bytes it produced, so that a library
// crashing on bad input cannot take the caller down. A TembrelError thrown by `work` comes back
// as a DatabaseError with the same message; a child that dies without answering gives a
// ChildProcessError saying how it ended. The child's own diagnostics on stderr are discarded.
QByteArray runInChildProcess(const std::function<QByteArray()>& work);
