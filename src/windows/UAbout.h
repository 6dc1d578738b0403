#pragma once

#include <QDialog>

// The about window.
class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* parent = nullptr);
};
