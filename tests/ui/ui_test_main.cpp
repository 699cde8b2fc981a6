// The window tests need one application object that lives exactly as long as the tests: made
// before the first and gone before the process's static objects are torn down.
#include <gtest/gtest.h>

#include "app/application.h"
#include "tests/ui/window_test_support.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  quorvex::Application app(argc, argv);
  app.SetReporter([](const std::string& text) { quorvex::testing::Reports().push_back(text); });
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
