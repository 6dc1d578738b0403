#include "UAbout.h"

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(QStringLiteral("About"));
}
