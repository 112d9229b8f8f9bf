// The program's widget style: Fusion, with the costs of its tall fills taken
// off the user's wait.
#pragma once

#include <QProxyStyle>

// Fusion, which the windows are laid out for to the pixel. On the Qt versions
// its workarounds were measured on, group box and tab frames are drawn once
// per key and kept, and a tall scroll bar is drawn in short bands; elsewhere
// it draws as plain Fusion. Either way a scroll bar's arrows take their
// window's text colour.
class ProgramStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
};

// Makes the program's style the application's, and sizes the pixmap cache
// for the frames it keeps.
void InstallProgramStyle();
