// Tries the single-instance lock in the folder given as argument and exits
// 0 when it got it, 1 when another process holds it. With "hold" it keeps
// the lock until its standard input closes.
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "app/SingleInstance.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  vantrel::app::CSingleInstance instance(argv[1]);
  if (!instance.Acquire()) return 1;
  if (argc > 2 && std::string(argv[2]) == "hold") {
    std::puts("locked");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
  }
  return 0;
}
