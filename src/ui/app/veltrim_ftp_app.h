#pragma once
// The application object: start-up, the main window's life, the exit.

namespace veltrim::ui {

class CVeltrimFTPApp {
 public:
  // Runs the whole program; returns the process exit status.
  static int Main(int argc, char** argv);
};

}  // namespace veltrim::ui
