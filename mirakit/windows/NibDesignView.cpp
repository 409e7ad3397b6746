#include "NibDesignView.h"

#include "LayoutConstraint.h"
#include "NibInstantiate.h"

namespace mira {

NibDesignView::NibDesignView(QWidget *parent)
    : QWidget(parent)
{
}

NibDesignView::~NibDesignView() = default;

void NibDesignView::setNibName(const QString &nibName)
{
    if (m_nibName == nibName)
        return;
    m_nibName = nibName;
    Q_EMIT nibNameChanged(m_nibName);

    QString error;
    QWidget *content = NibInstantiate::instantiate(m_nibName, this, &error);
    if (!content) {
        Q_EMIT loadFailed(error);
        return;
    }
    delete m_contentView;
    m_contentView = content;
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
    return m_contentView ? m_contentView->sizeHint().expandedTo(m_contentView->minimumSize()) : QWidget::sizeHint();
}

QSize NibDesignView::minimumSizeHint() const
{
    // The file may give its root a fixed minimum size; the container cannot be smaller.
    return m_contentView ? m_contentView->minimumSizeHint().expandedTo(m_contentView->minimumSize())
                         : QWidget::minimumSizeHint();
}

} // namespace mira
