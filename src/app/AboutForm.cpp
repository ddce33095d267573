#include "app/AboutForm.h"

#include "app/QtJpegPicture.h"
#include "platform/Version.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace vm {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("AboutBox");
    setWindowTitle("About Volumark");

    Picture = new QLabel(this);
    Picture->setObjectName("Picture");
    const QImage image = JpegImageFromFile(":/about.jpg");
    if (!image.isNull())
        Picture->setPixmap(QPixmap::fromImage(image));

    ProductName = new QLabel("Volumark", this);
    ProductName->setObjectName("ProductName");
    QFont big = ProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    ProductName->setFont(big);
    Version = new QLabel(QString("Version ") + kProgramVersion, this);
    Version->setObjectName("Version");
    Comments = new QLabel("Disk space manager for workstations and file servers.\n"
                          "Logs directory trees, explores the logs and compares them\n"
                          "to show where space was gained or lost.",
                          this);
    Comments->setObjectName("Comments");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(ProductName);
    text->addWidget(Version);
    text->addSpacing(8);
    text->addWidget(Comments);
    text->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(Picture, 0, Qt::AlignTop);
    row->addLayout(text);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace vm
