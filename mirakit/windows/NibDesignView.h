#pragma once

#include <mirakit/mirakit_export.h>

#include <QWidget>

#include <memory>

namespace mira {

class NibDesignViewPrivate;

/**
 * A container that fills itself with a view designed in a file.
 *
 * Setting nibName loads the file of that name through
 * NibInstantiate::instantiate() (":/nibs/<nibName>.ui", holding a widget of
 * the registered class of that name), puts the widget below all other
 * children and pins its four edges to the container's with LayoutConstraint.
 * A new name replaces the previous content; a name that fails to load leaves
 * the current content in place and emits loadFailed() with the message (also
 * written to the log). The container's size hints are its content's, never
 * below the content's minimum size.
 *
 * In a `.ui` file the container is the custom widget "mira::NibDesignView"
 * with a string property nibName.
 *
 * @code
 * auto *card = new mira::NibDesignView(page);
 * card->setNibName(QStringLiteral("ProfileCard"));
 * @endcode
 */
class MIRAKIT_EXPORT NibDesignView : public QWidget {
    Q_OBJECT
    /// The file (and class) name of the content; empty (no content) by default.
    Q_PROPERTY(QString nibName READ nibName WRITE setNibName NOTIFY nibNameChanged)
public:
    explicit NibDesignView(QWidget *parent = nullptr);
    ~NibDesignView() override;

    QString nibName() const;
    void setNibName(const QString &nibName);

    /// The loaded content, or nullptr before a successful load.
    QWidget *contentView() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void nibNameChanged(const QString &nibName);
    void contentViewChanged(QWidget *contentView);
    /// The file could not give a content view; @p message is one of NibInstantiate's messages.
    void loadFailed(const QString &message);

private:
    std::unique_ptr<NibDesignViewPrivate> const d;
};

} // namespace mira
