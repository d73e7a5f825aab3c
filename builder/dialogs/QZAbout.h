// The About dialog: the program's name and version.
#pragma once

#include <QDialog>

namespace CorvBuilder {

class TAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TAbout(QWidget *parent = nullptr);
};

} // namespace CorvBuilder
