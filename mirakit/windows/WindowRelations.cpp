#include "WindowRelations.h"
#include "WindowRelations_p.h"

#include "FocusChain_p.h"
#include "SheetShield_p.h"

#include <QApplication>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace mira {

namespace {

const char relationProperty[] = "_mira_presentedAs";
const char sheetOrderProperty[] = "_mira_sheetOrder";
const char sheetRelation[] = "sheet";
const char childRelation[] = "child";

QWidget *relatedParent(const QWidget *window, const char *relation)
{
    if (!window || window->property(relationProperty).toByteArray() != relation)
        return nullptr;
    return window->parentWidget();
}

} // namespace

namespace detail {

void beginSheet(QWidget *parent, QWidget *sheet)
{
    // A sheet is part of its parent window rather than a window of its own:
    // it moves with the parent on every display server (Wayland ignores where
    // a client puts its top-level windows) and needs no compositor for its
    // rounded corners.
    const QSize size = sheet->size();
    if (sheet->parentWidget() != parent || sheet->isWindow())
        sheet->setParent(parent, Qt::Widget);
    sheet->resize(size);
    sheet->setProperty(relationProperty, QByteArray(sheetRelation));
    static quint64 presented = 0;
    sheet->setProperty(sheetOrderProperty, ++presented);
    if (!SheetShield::of(sheet))
        new SheetShield(parent, sheet);
    sheet->show();
    sheet->raise();
    if (!sheet->isAncestorOf(QApplication::focusWidget()))
        focusFirstChild(sheet);
}

void endSheet(QWidget *parent, QWidget *sheet)
{
    if (relatedParent(sheet, sheetRelation) != parent)
        return;
    sheet->hide();
    SheetShield::release(sheet);
    sheet->setProperty(relationProperty, QVariant());
}

void addChildWindow(QWidget *parent, QWidget *child)
{
    const QRect frame = child->geometry();
    if (child->parentWidget() != parent || !(child->windowFlags() & Qt::Tool))
        child->setParent(parent, Qt::Tool | Qt::FramelessWindowHint);
    child->resize(frame.size());
    child->setProperty(relationProperty, QByteArray(childRelation));
}

void removeChildWindow(QWidget *parent, QWidget *child)
{
    if (relatedParent(child, childRelation) == parent)
        child->setProperty(relationProperty, QVariant());
}

void centreOn(QWidget *parent, QWidget *window)
{
    const QRect p = parent->frameGeometry();
    const QRect w = window->frameGeometry();
    window->move(qRound(p.x() + (p.width() - w.width()) * 0.5), qRound(p.y() + (p.height() - w.height()) * 0.5));
    window->repaint();
}

} // namespace detail

QWidget *sheetParent(const QWidget *window)
{
    return relatedParent(window, sheetRelation);
}

QWidget *parentWindow(const QWidget *window)
{
    return relatedParent(window, childRelation);
}

QList<QWidget *> attachedSheets(const QWidget *window)
{
    QList<QWidget *> sheets;
    if (!window)
        return sheets;
    for (QObject *child : window->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && sheetParent(widget) == window)
            sheets.append(widget);
    }
    std::stable_sort(sheets.begin(), sheets.end(), [](const QWidget *a, const QWidget *b) {
        return a->property(sheetOrderProperty).toULongLong() < b->property(sheetOrderProperty).toULongLong();
    });
    return sheets;
}

} // namespace mira
