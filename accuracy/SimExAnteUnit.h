#pragma once
// Temporary shell until the experiment dialog is written.
#include <QDialog>
class TFormSimExAnte : public QDialog {
    Q_OBJECT
public:
    explicit TFormSimExAnte(QWidget* parent = nullptr) : QDialog(parent) { setObjectName("FormSimExAnte"); }
};
