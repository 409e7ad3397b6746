#include "ControlsGalleryPage.h"
#include "GalleryWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTabWidget>

#include <memory>

// mirakit-gallery [--screenshot FILE]: shows every MiraKit control in every
// state; with --screenshot it renders the controls page to FILE and exits.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mirakit-gallery"));
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
        QStringLiteral("Render the controls page to <file> and exit."), QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    if (parser.isSet(screenshot)) {
        QWidget *page = mira::gallery::createControlsPage();
        page->resize(page->sizeHint().expandedTo(QSize(760, 0)));
        page->show();
        QApplication::processEvents();
        QApplication::processEvents();
        const bool saved = page->grab().save(parser.value(screenshot));
        delete page;
        return saved ? 0 : 1;
    }

    std::unique_ptr<QTabWidget> window(mira::gallery::createGalleryWindow());
    window->show();
    return app.exec();
}
