// A label that acts as a link: underlined, pointing-hand cursor, and a click
// signal when the left button is released over it.
#pragma once

#include <QLabel>

class LinkLabel : public QLabel {
    Q_OBJECT

  public:
    explicit LinkLabel(QWidget* parent = nullptr);

    // Does what a click does: for keyboard-free activation by assistive technology.
    void activate() { emit clicked(); }

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool m_pressed = false;
};
