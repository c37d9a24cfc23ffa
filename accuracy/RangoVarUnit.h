#pragma once
// Temporary shell until the experiment dialog is written.
#include <QDialog>
class TFormRangoVar : public QDialog {
    Q_OBJECT
public:
    explicit TFormRangoVar(QWidget* parent = nullptr) : QDialog(parent) { setObjectName("FormRangoVar"); }
};
