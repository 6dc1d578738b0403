#include "ModalRunner.h"

#include <QDialog>

namespace ModalRunner {

static std::function<void(QDialog&)>& runner()
{
    static std::function<void(QDialog&)> value;
    return value;
}

void run(QDialog& dialog)
{
    if (runner())
        runner()(dialog);
    else
        dialog.exec();
}

void setRunner(std::function<void(QDialog&)> newRunner)
{
    runner() = std::move(newRunner);
}

} // namespace ModalRunner
