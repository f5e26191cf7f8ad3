#include "app/DekkoraApp.h"

int main(int argc, char** argv) {
  vantrel::app::CDekkoraApp app;
  return app.Run(argc, argv);
}
