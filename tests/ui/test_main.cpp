// The widget tests run offscreen, in one application object for the whole run.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>

namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform says that it cannot size or raise a window each time a window
// asks; that is no news. Everything else goes out as usual.
void Quiet(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("This plugin does not support"))) return;
  if (previousHandler)
    previousHandler(type, context, message);
  else
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  previousHandler = qInstallMessageHandler(Quiet);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
