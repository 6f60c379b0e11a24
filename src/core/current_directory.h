// The process's current directory, kept across something that moves it:
// the common dialogs make the folder they show the current one, and a
// relative entry is opened against the folder the player started in.
#pragma once

#include <string>

// The current directory in its wide form; empty when it cannot be read.
std::wstring CurrentDirectoryWide();

// Notes the current directory when made and puts it back when it goes.
class CurrentDirectoryKept {
  public:
    CurrentDirectoryKept();
    ~CurrentDirectoryKept();
    CurrentDirectoryKept(const CurrentDirectoryKept &) = delete;
    CurrentDirectoryKept &operator=(const CurrentDirectoryKept &) = delete;

  private:
    std::wstring folder_;
};
