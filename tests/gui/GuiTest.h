// Base of the GUI tests: GTK on the test's display, GLib warnings as failures, waits on the loop.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace stratovane::testing {

class GuiTest : public ::testing::Test {
 protected:
  // Skips the test without a display; run the tests under xvfb-run.
  void SetUp() override;
  // Fails the test for every warning or critical message GLib logged while it ran.
  void TearDown() override;

  // Runs the default main context until `done` holds or the time is up; returns `done()`.
  static bool waitUntil(const std::function<bool()>& done,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Runs the default main context for a while, whatever happens.
  static void spin(std::chrono::milliseconds duration);
  // Runs everything that is ready on the default main context, idle callbacks included.
  static void drain();
};

}  // namespace stratovane::testing
