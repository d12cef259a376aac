#pragma once
// When each command is available: the named rules of the command table and
// the one function that decides them from the window's state.

namespace veltrim::ui {

enum class EnableRule {
  Always,
  ProfilePresent,    // P
  CanConnect,        // C
  Connected,         // D
  Session,           // S
  TransferType,      // T
  ListViewExists,    // the four display modes
  AssociatedViewer,  // view/edit with the associated program
  FileInformation,   // the directory's index file is available
};

// Everything the rules look at.
struct CommandState {
  bool profilePresent = false;
  bool connected = false;
  bool frameBusy = false;
  bool sessionExists = false;
  bool sessionConnected = false;  // the session's IsConnected
  bool sessionBusy = false;       // the session's IsBusy
  bool sessionHasIndexFile = false;
  bool listViewExists = false;
  bool selectionHasAssociatedProgram = false;
};

bool IsCommandEnabled(EnableRule rule, const CommandState& state);

}  // namespace veltrim::ui
