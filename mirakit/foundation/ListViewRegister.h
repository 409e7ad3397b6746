#pragma once

#include <mirakit/mirakit_export.h>

#include <QByteArray>
#include <QWidget>

#include <functional>

class QAbstractItemView;

namespace mira {

/**
 * Cell views for an item view, registered by class and made by class.
 *
 * A cell class is a QWidget subclass with Q_OBJECT whose constructor takes
 * a parent and builds its content from the class's .ui form (compiled in,
 * so the form always travels with the class). Register the class once per
 * view, then make as many cells as needed; the class name is the
 * identifier.
 *
 * Making a class that was not registered with that view is a programming
 * error: the process stops with "<ClassName> is not registed" (spelled as the
 * log reader expects).
 *
 * @code
 * mira::ListViewRegister::registerCellNib<DownloadCell>(list);
 * auto *cell = mira::ListViewRegister::makeView<DownloadCell>(list, list->viewport());
 * list->setIndexWidget(model->index(row, 0), cell);
 * @endcode
 */
class MIRAKIT_EXPORT ListViewRegister {
public:
    using Factory = std::function<QWidget *(QWidget *owner)>;

    ListViewRegister() = delete;

    /// Registers @p Cell with @p view under its class name.
    template <typename Cell> static void registerCellNib(QAbstractItemView *view)
    {
        registerFactory(
            view, Cell::staticMetaObject.className(), [](QWidget *owner) -> QWidget * { return new Cell(owner); });
    }

    /// A new @p Cell for @p view, parented to @p owner. Stops the process
    /// when @p Cell was not registered with @p view.
    template <typename Cell> static Cell *makeView(QAbstractItemView *view, QWidget *owner)
    {
        return static_cast<Cell *>(make(view, Cell::staticMetaObject.className(), owner));
    }

    /// Registers @p factory under @p identifier; a later registration replaces it.
    static void registerFactory(QAbstractItemView *view, const QByteArray &identifier, Factory factory);

    /// A view made by the factory registered under @p identifier.
    static QWidget *make(QAbstractItemView *view, const QByteArray &identifier, QWidget *owner);
};

} // namespace mira
