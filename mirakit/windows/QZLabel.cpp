#include "QZLabel.h"

#include <QLabel>

namespace mira {

QLabel *QZLabel::label(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(parent);
    // Texts come from callers and translations: never interpret them as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setFrameShape(QFrame::NoFrame);
    label->setAutoFillBackground(false);
    return label;
}

} // namespace mira
