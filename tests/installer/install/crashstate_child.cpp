// Runs the install transaction for tst_crashstate.py, which traces it and
// checks what a power cut at any moment would leave behind.
//
//   crashstate_child install <archive> <unpackFolder> <applicationsFolder> <exchange 0|1>
//   crashstate_child recover <applicationsFolder>...
//
// install runs one transaction (exchange 0 forces moving the old copy aside)
// and exits 0 when the new copy was installed; recover runs
// InstallTransaction::recover on each folder in turn.

#include <installer/install/InstallTransaction.h>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    if (argc == 6 && std::strcmp(argv[1], "install") == 0) {
        InstallTransaction::Options options;
        options.exchange = std::strcmp(argv[5], "1") == 0;
        const auto result = InstallTransaction(
            QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]), options)
                                .run();
        if (result.outcome != InstallTransaction::Outcome::Installed)
            std::fprintf(stderr, "install failed: %s\n", qPrintable(result.description));
        return result.outcome == InstallTransaction::Outcome::Installed ? 0 : 1;
    }
    if (argc >= 3 && std::strcmp(argv[1], "recover") == 0) {
        for (int i = 2; i < argc; ++i)
            InstallTransaction::recover(QString::fromLocal8Bit(argv[i]));
        return 0;
    }
    std::fprintf(stderr,
        "usage: crashstate_child install <archive> <unpack> <applications> <exchange 0|1>\n"
        "       crashstate_child recover <applications>...\n");
    return 2;
}
