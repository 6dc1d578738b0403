#pragma once

#include <functional>

class QDialog;

// Shows a secondary window modally and returns when it closes. Tests replace the runner to
// drive the window without blocking.
namespace ModalRunner {

void run(QDialog& dialog);
// Replaces the runner (tests); an empty function restores QDialog::exec.
void setRunner(std::function<void(QDialog&)> runner);

} // namespace ModalRunner
