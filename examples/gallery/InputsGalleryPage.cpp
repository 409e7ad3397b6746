#include "InputsGalleryPage.h"

#include <mirakit/windows/MiraSwitch.h>
#include <mirakit/windows/SecurePlainTextField.h>

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace mira::gallery {

namespace {

// A switch with its caption underneath.
QWidget *captioned(MiraSwitch *control, const QString &caption)
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(control, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(caption), 0, Qt::AlignHCenter);
    return box;
}

QWidget *switchesRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setSpacing(24);

    layout->addWidget(captioned(new MiraSwitch, QObject::tr("Off")));

    auto *on = new MiraSwitch;
    on->setOn(true);
    layout->addWidget(captioned(on, QObject::tr("On")));

    auto *disabledOff = new MiraSwitch;
    disabledOff->setEnabled(false);
    layout->addWidget(captioned(disabledOff, QObject::tr("Disabled")));

    auto *disabledOn = new MiraSwitch;
    disabledOn->setOn(true);
    disabledOn->setEnabled(false);
    layout->addWidget(captioned(disabledOn, QObject::tr("Disabled, on")));

    auto *narrow = new MiraSwitch;
    narrow->setFixedSize(20, 30);
    layout->addWidget(captioned(narrow, QObject::tr("Narrow")));

    auto *large = new MiraSwitch;
    large->setFixedSize(80, 40);
    large->setOn(true);
    large->setOnTintColor(QColor(0x3b, 0x82, 0xf6));
    layout->addWidget(captioned(large, QObject::tr("Large, blue")));

    auto *rightToLeft = new MiraSwitch;
    rightToLeft->setLayoutDirection(Qt::RightToLeft);
    rightToLeft->setOn(true);
    layout->addWidget(captioned(rightToLeft, QObject::tr("Right-to-left, on")));

    layout->addStretch();
    return row;
}

QWidget *fieldsForm()
{
    auto *form = new QWidget;
    auto *layout = new QFormLayout(form);

    auto *name = new PlainTextField;
    name->setPlaceholderText(QObject::tr("name@example.org"));
    name->setInsertionPointColor(QColor(42, 192, 129));
    name->setMinimumWidth(260);
    name->setMinimumHeight(30);
    layout->addRow(QObject::tr("&Account"), name);

    auto *password = new SecurePlainTextField;
    password->setPlaceholderText(QObject::tr("Password"));
    password->setText(QStringLiteral("correct horse"));
    password->setInsertionPointColor(QColor(42, 192, 129));
    password->setMinimumHeight(30);
    layout->addRow(QObject::tr("&Password"), password);

    auto *show = new MiraSwitch;
    show->setAccessibleName(QObject::tr("Show password"));
    QObject::connect(
        show, &MiraSwitch::onChanged, password, [password](bool shown) { password->setSecureTextEntry(!shown); });
    auto *showRow = new QWidget;
    auto *showLayout = new QHBoxLayout(showRow);
    showLayout->setContentsMargins(0, 0, 0, 0);
    showLayout->addWidget(show);
    showLayout->addWidget(new QLabel(QObject::tr("Show password")));
    showLayout->addStretch();
    layout->addRow(QString(), showRow);
    return form;
}

} // namespace

QWidget *createInputsPage(QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);
    auto *switches = new QLabel(QObject::tr("Switches: click, drag the bead, or press Space"));
    layout->addWidget(switches);
    layout->addWidget(switchesRow());
    layout->addSpacing(16);
    layout->addWidget(new QLabel(QObject::tr("Text fields: no field is focused when the window opens")));
    layout->addWidget(fieldsForm());
    layout->addStretch();
    return page;
}

} // namespace mira::gallery
