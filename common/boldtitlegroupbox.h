// A group box whose title is bold while its contents keep the regular font.
#pragma once

#include <QGroupBox>

class BoldTitleGroupBox : public QGroupBox {
    Q_OBJECT

  public:
    explicit BoldTitleGroupBox(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
