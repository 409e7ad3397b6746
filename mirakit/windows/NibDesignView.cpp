#include "NibDesignView.h"

#include "LayoutConstraint.h"
#include "NibClassRegistry.h"
#include "NibInstantiate.h"

#include <QPointer>

// Files may hold containers, so the class is known by name from the moment the library loads.
MIRA_REGISTER_NIB_CLASS(mira::NibDesignView)

namespace mira {

class NibDesignViewPrivate {
public:
    QString nibName;
    QPointer<QWidget> contentView;
};

NibDesignView::NibDesignView(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<NibDesignViewPrivate>())
{
}

NibDesignView::~NibDesignView() = default;

QString NibDesignView::nibName() const
{
    return d->nibName;
}

QWidget *NibDesignView::contentView() const
{
    return d->contentView;
}

void NibDesignView::setNibName(const QString &nibName)
{
    if (d->nibName == nibName)
        return;
    d->nibName = nibName;
    Q_EMIT nibNameChanged(d->nibName);

    QString error;
    QWidget *content = NibInstantiate::instantiate(d->nibName, this, &error);
    if (!content) {
        Q_EMIT loadFailed(error);
        return;
    }
    delete d->contentView;
    d->contentView = content;
    content->lower();
    using C = LayoutConstraint;
    using A = LayoutConstraint::Attribute;
    using R = LayoutConstraint::Relation;
    C::activate({ C(content, A::top, R::equal, this, A::top), C(content, A::left, R::equal, this, A::left),
        C(content, A::right, R::equal, this, A::right), C(content, A::bottom, R::equal, this, A::bottom) });
    content->show();
    updateGeometry();
    Q_EMIT contentViewChanged(content);
}

QSize NibDesignView::sizeHint() const
{
    return d->contentView ? d->contentView->sizeHint().expandedTo(d->contentView->minimumSize()) : QWidget::sizeHint();
}

QSize NibDesignView::minimumSizeHint() const
{
    // The file may give its root a fixed minimum size; the container cannot be smaller.
    return d->contentView ? d->contentView->minimumSizeHint().expandedTo(d->contentView->minimumSize())
                          : QWidget::minimumSizeHint();
}

} // namespace mira
