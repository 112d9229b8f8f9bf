#include "common/boldtitlegroupbox.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>

// A bold font on the box itself would pass on to every control inside, and
// setting each control back to regular makes every combo box build its
// drop-down list at once, while the window is still waiting to appear. Only
// the title is drawn bold instead.
BoldTitleGroupBox::BoldTitleGroupBox(QWidget* parent) : QGroupBox(parent) {}

void BoldTitleGroupBox::paintEvent(QPaintEvent*) {
    QFont bold = font();
    bold.setBold(true);
    QStylePainter painter(this);
    painter.setFont(bold);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.fontMetrics = QFontMetrics(bold);
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}
