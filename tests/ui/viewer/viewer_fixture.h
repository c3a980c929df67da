#pragma once

// A viewer registry over a fresh data folder and a folder of files to show, with what the viewer
// window tests ask of it.

#include <gtest/gtest.h>
#include <utime.h>

#include <QTest>
#include <ctime>
#include <string>

#include "support/temp_folder.h"
#include "ui/viewer/text_display_window.h"
#include "viewer/display_format.h"

namespace tarvo::test {

inline constexpr int kViewerPatience = 30000;  // milliseconds; only against a hang

struct Viewer {
  TempFolder data;
  TempFolder files;
  ViewerRegistry registry{data.path(), "Tarvo-1"};

  // Shows the file and waits until its lines are counted (at once for small files).
  TformTextDisplay* open(const std::string& name, const std::string& layout) {
    TformTextDisplay* window = registry.OpenTextDisplay(files.file(name), layout);
    window->showViewer();
    EXPECT_TRUE(QTest::qWaitFor([window] { return !window->indexing(); }, kViewerPatience));
    return window;
  }
  // A display format for the file as the viewer would store it, for a test to fill and save.
  DisplayFormat storedFormat(const std::string& name, const std::string& layout) {
    DisplayFormat format = NewDisplayFormat(files.file(name), layout);
    format.formatPath = FormatPathFor(data.path(), format.filePath);
    return format;
  }
  // Writes a file and sets its time far from the last load, so a refresh sees a change.
  void rewrite(const std::string& name, const std::string& bytes, std::time_t when) {
    files.put(name, bytes);
    const utimbuf times{when, when};
    utime(files.file(name).c_str(), &times);
  }
};

}  // namespace tarvo::test
