#include "NibGalleryPage.h"

#include <mirakit/interactive/LineProgressView.h>
#include <mirakit/windows/NibClassRegistry.h>
#include <mirakit/windows/NibDesignView.h>

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace mira::gallery {

// The root class of ProfileCard.ui: a white rounded card.
class ProfileCard : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0, 0, 0, 30), 1));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    }
};

} // namespace mira::gallery

MIRA_REGISTER_NIB_CLASS(mira::gallery::ProfileCard)

namespace mira::gallery {

QWidget *createNibPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);
    auto *intro = new QLabel(QObject::tr("The card below comes from a Qt Designer file in the resources "
                                         "(\":/nibs/ProfileCard.ui\"); its root class is registered by name."),
        page);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *card = new NibDesignView(page);
    card->setNibName(QStringLiteral("ProfileCard"));
    if (QWidget *content = card->contentView()) {
        if (auto *progress = content->findChild<LineProgressView *>())
            progress->setProgress(0.6);
    }
    layout->addWidget(card, 0, Qt::AlignLeft);
    layout->addStretch();
    return page;
}

} // namespace mira::gallery

#include "NibGalleryPage.moc"
