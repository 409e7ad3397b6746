#pragma once

#include <installer/interface/LocalizedString.h>
#include <platform/Folders.h>

#include <QFileInfo>
#include <QString>

/**
 * The application this installer installs: its bundle's name and
 * identifier, and where it is placed.
 */
namespace Product {

/// The product's name as the interface shows it ("Application_Name").
inline QString localizedName()
{
    return localizedString(QStringLiteral("Application_Name"));
}

/// The bundle folder's name in the applications folder.
inline QString bundleName()
{
    return QStringLiteral("Prismora.app");
}

/// The identifier the product's running copies are found by.
inline QString bundleIdentifier()
{
    return QStringLiteral("com.kestrum.prismora");
}

/// Where the installed product lives: the applications folder plus bundleName().
inline QString installedPath()
{
    return platform::Folders::applications() + QLatin1Char('/') + bundleName();
}

/// Whether something is at installedPath(), a dangling link included.
inline bool isInstalled()
{
    const QFileInfo installed(installedPath());
    return installed.exists() || installed.isSymLink();
}

} // namespace Product
