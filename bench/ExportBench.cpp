// SSLF export of a big list with a password for every server: the time of the
// export as the Options window's "export as SSLF" runs it.
//   korvane-bench-export [servers]   (default 20000)
#include "admin/PasswordFile.h"
#include "lists/ListFormats.h"
#include "support/DataFolder.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <string>

using namespace korvane;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int servers = argc > 1 ? std::stoi(argv[1]) : 20000;
    test::DataFolder folder;
    std::string list;
    std::string passwords = "// Korvane 1.11 password list\r\n//\r\n\r\n";
    for (int i = 0; i < servers; ++i) {
        const std::string ip = "10." + std::to_string(i / 65536) + "." + std::to_string(i / 256 % 256) + "." +
                               std::to_string(i % 256);
        list += "Server " + std::to_string(i) + "\r\n" + ip + "\r\n12203\r\n";
        passwords += PasswordKey(ip, "12203") + "\r\npw" + std::to_string(i) + "\r\n";
    }
    folder.write("Serverlists/Big", list);
    folder.write(PasswordFileName, passwords);

    const auto start = std::chrono::steady_clock::now();
    exportSslf("Big", folder.file("Big"));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("SSLF export of %d servers, each with a password: %.3f s\n", servers, took.count());
    return 0;
}
