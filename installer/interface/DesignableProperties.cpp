#include "DesignableProperties.h"

#include <QAction>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLineEdit>
#include <QSizeF>
#include <QWidget>

namespace {
const char *const cornerProperties[]
    = { "cornerTopLeftIB", "cornerTopRightIB", "cornerBottomLeftIB", "cornerBottomRightIB" };

// Only dynamic properties: a declared property is the widget's own business.
QVariant dynamicValue(const QObject *object, const char *name)
{
    if (object->metaObject()->indexOfProperty(name) >= 0)
        return QVariant();
    return object->property(name);
}

QString cssColor(const QColor &color)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alphaF(), 0, 'f', 3);
}

void localizeText(QObject *object, const DesignableProperties::Lookup &lookup)
{
    const QString key = dynamicValue(object, "localizedKeyIB").toString();
    if (key.isEmpty())
        return;
    if (auto *label = qobject_cast<QLabel *>(object))
        label->setText(lookup(key));
    else if (auto *edit = qobject_cast<QLineEdit *>(object))
        edit->setText(lookup(key));
    else if (auto *action = qobject_cast<QAction *>(object))
        action->setText(lookup(key));
    else if (object->metaObject()->indexOfProperty("text") >= 0)
        object->setProperty("text", lookup(key));
}

void stylePlaceholder(QLineEdit *edit, const DesignableProperties::Lookup &lookup)
{
    const QString key = dynamicValue(edit, "placeholderLocalizedKeyIB").toString();
    if (!key.isEmpty())
        edit->setPlaceholderText(lookup(key));
    const QColor color = dynamicValue(edit, "placeholderColorIB").value<QColor>();
    if (color.isValid()) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::PlaceholderText, color);
        edit->setPalette(palette);
        if (key.isEmpty())
            edit->setPlaceholderText(lookup(edit->placeholderText()));
    }
}

void applyShadow(QWidget *widget)
{
    const QVariant radius = dynamicValue(widget, "shadowRadiusIB");
    const QVariant opacity = dynamicValue(widget, "shadowOpacityIB");
    if (!radius.isValid() && !opacity.isValid())
        return;
    QColor color = dynamicValue(widget, "shadowColorIB").value<QColor>();
    if (!color.isValid())
        color = Qt::black;
    color.setAlphaF(float(color.alphaF() * (opacity.isValid() ? opacity.toDouble() : 0.0)));
    const QSizeF offset = dynamicValue(widget, "shadowOffsetIB").toSizeF();
    auto *effect = new QGraphicsDropShadowEffect(widget);
    effect->setBlurRadius(radius.toDouble() * 2);
    // Layer shadow offsets grow upwards; widget coordinates grow downwards.
    effect->setOffset(offset.width(), -offset.height());
    effect->setColor(color);
    widget->setGraphicsEffect(effect);
}
} // namespace

int DesignableProperties::cornerBit(const QString &property, bool flipped)
{
    if (property == QLatin1String("cornerTopLeftIB"))
        return flipped ? MinXMinYCorner : MinXMaxYCorner;
    if (property == QLatin1String("cornerTopRightIB"))
        return flipped ? MaxXMinYCorner : MaxXMaxYCorner;
    if (property == QLatin1String("cornerBottomLeftIB"))
        return flipped ? MinXMaxYCorner : MinXMinYCorner;
    if (property == QLatin1String("cornerBottomRightIB"))
        return flipped ? MaxXMaxYCorner : MaxXMinYCorner;
    return 0;
}

int DesignableProperties::maskedCorners(const QWidget *widget)
{
    int corners = MinXMinYCorner | MaxXMinYCorner | MinXMaxYCorner | MaxXMaxYCorner;
    for (const char *name : cornerProperties) {
        const QVariant value = dynamicValue(widget, name);
        if (!value.isValid())
            continue;
        const int bit = cornerBit(QString::fromLatin1(name));
        corners = value.toBool() ? (corners | bit) : (corners & ~bit);
    }
    return corners;
}

QString DesignableProperties::layerStyleSheet(const QWidget *widget)
{
    QStringList rules;
    const QColor background = dynamicValue(widget, "backgroundColorIB").value<QColor>();
    if (background.isValid() && !widget->isWindow())
        rules << QStringLiteral("background-color: %1;").arg(cssColor(background));
    const QVariant borderWidth = dynamicValue(widget, "borderWidthIB");
    if (borderWidth.isValid() && borderWidth.toDouble() > 0) {
        QColor color = dynamicValue(widget, "borderColorIB").value<QColor>();
        if (!color.isValid())
            color = Qt::black;
        rules << QStringLiteral("border: %1px solid %2;").arg(borderWidth.toDouble()).arg(cssColor(color));
    }
    const double radius = dynamicValue(widget, "cornerRadiusIB").toDouble();
    if (radius > 0) {
        const int corners = maskedCorners(widget);
        const std::pair<int, const char *> sides[] = {
            { MinXMinYCorner, "top-left" },
            { MaxXMinYCorner, "top-right" },
            { MinXMaxYCorner, "bottom-left" },
            { MaxXMaxYCorner, "bottom-right" },
        };
        for (const auto &[bit, side] : sides)
            rules << QStringLiteral("border-%1-radius: %2px;").arg(QLatin1String(side)).arg(corners & bit ? radius : 0);
    }
    if (rules.isEmpty())
        return QString();
    return QStringLiteral("#%1 { %2 }").arg(widget->objectName(), rules.join(QLatin1Char(' ')));
}

void DesignableProperties::applyToWidget(QWidget *widget, const Lookup &lookup)
{
    if (widget->objectName().isEmpty())
        widget->setObjectName(QStringLiteral("designable_%1").arg(quintptr(widget), 0, 16));
    const QString style = layerStyleSheet(widget);
    if (!style.isEmpty()) {
        widget->setAttribute(Qt::WA_StyledBackground);
        widget->setStyleSheet(widget->styleSheet() + QLatin1Char('\n') + style);
    }
    if (widget->isWindow()) {
        const QColor background = dynamicValue(widget, "backgroundColorIB").value<QColor>();
        if (background.isValid()) {
            QPalette palette = widget->palette();
            palette.setColor(QPalette::Window, background);
            widget->setPalette(palette);
            widget->setAutoFillBackground(true);
        }
    }
    const QColor text = dynamicValue(widget, "textColorIB").value<QColor>();
    if (text.isValid()) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::WindowText, text);
        palette.setColor(QPalette::Text, text);
        widget->setPalette(palette);
    }
    applyShadow(widget);
    localizeText(widget, lookup);
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        stylePlaceholder(edit, lookup);
    for (QAction *action : widget->actions())
        localizeText(action, lookup);
}

void DesignableProperties::apply(QWidget *root, const Lookup &lookup)
{
    if (!root)
        return;
    applyToWidget(root, lookup);
    for (QWidget *child : root->findChildren<QWidget *>())
        applyToWidget(child, lookup);
}
