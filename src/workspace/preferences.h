#pragma once

// The user's preferences (pref.txt) and the window layout (screen.dat).

#include <string>

#include "base/result.h"

namespace tarvo {

inline constexpr int kPreferenceBackups = 6;

struct Preferences {
  std::string path;
  int dateFormat = 0;  // 0 day first, 1 month first, 2 year first
  bool soundEffects = false;
  std::string lastVersion;
  std::string fontName;
  int fontSize = 11;
  int fontColour = 0;
  int fontCharset = 0;
  bool showSummary = true;

  // Missing or unreadable file: the defaults stay.
  Result load();
  Result save() const;
};

struct ScreenLayout {
  std::string path;
  bool loaded = false;  // screen.dat was read
  int top = -1;
  int left = -1;
  int width = -1;
  int height = -1;
  int treeWidth = -1;
  int structWidth = -1;  // -1: treeWidth - 100
  int rightPanel = -1;
  int topPanel = -1;
  int highlightBack = -1;
  int highlightText = -1;
  int dueWidth = 90;
  int infoWidth = 90;
  int treePercent = 0;
  std::string lastFolder;

  Result load();
  Result save() const;
};

}  // namespace tarvo
