// The about box: the program's picture, name, version and purpose.
#pragma once

#include <QDialog>

class QLabel;

namespace vm {

class TAboutForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    QLabel* Picture;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Comments;
};

} // namespace vm
