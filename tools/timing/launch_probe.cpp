// The program as the user starts it, with a probe for the timed launch: once the main
// window is on the screen it prints how long the launch took, then chooses MIRAL from the
// series menu, presses Calculate with the screen's defaults, prints the time and the
// resident memory, and quits. Run by tools/timing/launch_timing.sh.
//
// The launch is timed from VESTRA_LAUNCH_NS (nanoseconds of the real-time clock, set by
// the launcher just before it starts the program), so loading the libraries counts too.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "app/ui/main_window.h"
#include "app/ui/startup.h"
#include "screens/ui/screen_window.h"

namespace {

long long NowNs() {
  timespec t{};
  clock_gettime(CLOCK_REALTIME, &t);
  return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// VmRSS of /proc/self/status, in kB.
long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const char* launched = std::getenv("VESTRA_LAUNCH_NS");
  const long long t0 = launched ? std::atoll(launched) : NowNs();
  vestra::ui::ProgramHooks hooks;
  hooks.onShown = [t0](vestra::ui::Program& program) {
    vestra::ui::MainWindow& main = *program.mainWindow;
    while (!main.windowHandle() || !main.windowHandle()->isExposed())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double shownMs = (NowNs() - t0) / 1e6;
    const long shownKb = ResidentKb();

    main.Action("mnuprod(2)")->trigger();
    vestra::ui::ScreenWindow* screen = main.OpenScreenWindow();
    QElapsedTimer calculate;
    calculate.start();
    screen->ButtonWidget(vestra::screens::Ctl::cmdCalcola)->click();
    const double calculateMs = calculate.nsecsElapsed() / 1e6;
    QCoreApplication::processEvents();
    std::printf(
        "{\"launch_to_main_window_ms\": %.1f, \"rss_at_main_window_mb\": %.1f, "
        "\"miral_calculate_ms\": %.1f, \"miral_rows\": %d, \"rss_after_miral_calculate_mb\": "
        "%.1f}\n",
        shownMs, shownKb / 1024.0, calculateMs, screen->screen().ModelRowCount(),
        ResidentKb() / 1024.0);
    std::fflush(stdout);
    QApplication::quit();
  };
  return vestra::ui::RunProgram(argc, argv, hooks);
}
