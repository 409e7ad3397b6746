#pragma once

#include <mirakit/interactive/CursorArea.h>
#include <mirakit/mirakit_export.h>

#include <QCursor>
#include <QList>

class QWidget;

namespace mira {

/// Something that collects (cursor, area) pairs for a view.
class MIRAKIT_EXPORT Cursorable {
public:
    virtual ~Cursorable();
    virtual void addCursor(const QCursor &cursor, const CursorArea &rect) = 0;
    virtual void removeAll() = 0;
};

/// One registered pair: the cursor and where it applies.
struct CursorInfo {
    QCursor cursor;
    CursorArea rect;
};

/**
 * The cursor rectangles of one view, as a list of (cursor, area) pairs in
 * insertion order (empty at first).
 *
 * The list is only data: the view's cursor-rectangle reset turns every pair
 * into a rectangle against the bounds the view has at that moment, so
 * relative and whole-view areas follow resizing while absolute ones stay put.
 * Get the one attached to a view through mira::viewBehaver(view).cursorRect().
 *
 * @code
 * auto *cursors = mira::viewBehaver(view).cursorRect();
 * cursors->addCursor(Qt::PointingHandCursor, mira::CursorArea::relative(QRectF(0.5, 0, 0.5, 1)));
 * @endcode
 */
class MIRAKIT_EXPORT CursorRect : public Cursorable {
public:
    CursorRect();
    ~CursorRect() override;

    QList<CursorInfo> cursorInfos() const { return m_cursorInfos; }
    void setCursorInfos(const QList<CursorInfo> &infos) { m_cursorInfos = infos; }

    /// Appends one pair; later pairs are registered after earlier ones.
    void addCursor(const QCursor &cursor, const CursorArea &rect) override;
    /// Empties the list; the next reset registers no custom rectangles.
    void removeAll() override;

    /// Registers every pair as a cursor rectangle of @p view against its current bounds.
    void apply(QWidget *view) const;

private:
    QList<CursorInfo> m_cursorInfos;
};

/// Gives access to a view's cursor rectangles.
class MIRAKIT_EXPORT CursorRectProvider {
public:
    virtual ~CursorRectProvider();
    virtual CursorRect *cursorRect() const = 0;
};

} // namespace mira
