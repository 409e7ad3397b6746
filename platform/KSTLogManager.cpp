#include "KSTLogManager.h"

#include <QDir>
#include <QStandardPaths>

#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/null_sink.h>
#include <spdlog/spdlog.h>

namespace platform {

namespace {
QString logDirectory()
{
    const QString configured = qEnvironmentVariable("PRISMORA_LOG_DIR");
    if (!configured.isEmpty())
        return configured;
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Prismora_Installer");
}
} // namespace

class KSTLogManager::Private {
public:
    std::shared_ptr<spdlog::logger> logger;
    QString path;
};

KSTLogManager::KSTLogManager()
    : d(new Private)
{
    const QString folder = logDirectory();
    const QString path = folder + QStringLiteral("/installer.log");
    try {
        QDir().mkpath(folder);
        auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(QFile::encodeName(path).toStdString());
        d->logger = std::make_shared<spdlog::logger>("installer", std::move(sink));
        d->path = path;
    } catch (const spdlog::spdlog_ex &) {
        d->logger = std::make_shared<spdlog::logger>("installer", std::make_shared<spdlog::sinks::null_sink_mt>());
    }
    d->logger->set_pattern("%Y-%m-%d %H:%M:%S.%e %v");
    d->logger->set_level(spdlog::level::info);
    d->logger->flush_on(spdlog::level::info);
    d->logger->set_error_handler([](const std::string &) {});
}

KSTLogManager::~KSTLogManager()
{
    delete d;
}

KSTLogManager &KSTLogManager::singleton()
{
    // Never destroyed: background threads may still log while the process exits.
    static KSTLogManager *instance = new KSTLogManager;
    return *instance;
}

void KSTLogManager::writeInfoLog(const QString &line)
{
    singleton().write(line);
}

QString KSTLogManager::logFilePath() const
{
    return d->path;
}

void KSTLogManager::write(const QString &line)
{
    // A multi-line value must not look like several log lines.
    QByteArray bytes = line.toUtf8();
    bytes.replace('\n', "\\n");
    bytes.replace('\r', "\\r");
    d->logger->info(std::string_view(bytes.constData(), size_t(bytes.size())));
}

} // namespace platform
