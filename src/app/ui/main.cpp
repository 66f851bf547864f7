// Vestra, the selection program: start-up, then the main window until it is closed.

#include "app/ui/startup.h"

int main(int argc, char** argv) {
  return vestra::ui::RunProgram(argc, argv);
}
