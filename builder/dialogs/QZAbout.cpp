#include "QZAbout.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace CorvBuilder {

TAbout::TAbout(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    top->addWidget(icon, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    auto *name = new QLabel(QStringLiteral("Corvella Builder"), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    name->setObjectName(QStringLiteral("ProductName"));
    auto *version = new QLabel(QStringLiteral("ver. 2.1"), this);
    version->setObjectName(QStringLiteral("Version"));
    auto *about = new QLabel(
        QStringLiteral("Makes on-screen tests: pages of questions, texts, pictures, sound and "
                       "video, taken full screen in Corvella Viewer."),
        this);
    about->setWordWrap(true);
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addWidget(about);
    top->addLayout(texts, 1);
    layout->addLayout(top);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setFixedWidth(360);
}

} // namespace CorvBuilder
