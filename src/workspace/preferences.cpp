#include "workspace/preferences.h"

#include <utility>

#include "store/pair_file.h"
#include "base/date_text.h"

namespace tarvo {
namespace {

const char* YesNo(bool on) { return on ? "Y" : "N"; }

}  // namespace

Result Preferences::load() {
  PairList pairs;
  if (Result loaded = LoadPairFile(path, pairs); !loaded) return loaded;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string_view key = pairs.key(i);
    const std::string_view value = pairs.value(i);
    if (key == "date") dateFormat = DecimalOr(value, 0);
    else if (key == "sfx") soundEffects = value == "Y";
    else if (key == "lv") lastVersion.assign(value);
    else if (key == "font") fontName.assign(value);
    else if (key == "fsize") fontSize = DecimalOr(value, 11);
    else if (key == "col") fontColour = DecimalOr(value, 0);
    else if (key == "scr") fontCharset = DecimalOr(value, 0);
    else if (key == "sum") showSummary = value != "N";
  }
  return {};
}

Result Preferences::save() const {
  PairList pairs;
  pairs.add("date", std::to_string(dateFormat));
  if (soundEffects) pairs.add("sfx", "Y");
  pairs.add("lv", lastVersion);
  pairs.add("font", fontName);
  pairs.add("fsize", std::to_string(fontSize));
  pairs.add("col", std::to_string(fontColour));
  pairs.add("scr", std::to_string(fontCharset));
  pairs.add("sum", YesNo(showSummary));
  return SavePairFile(path, pairs, kPreferenceBackups);
}

namespace {

// The numbers of screen.dat in the order they are written; the highlight colours follow,
// written only when set.
constexpr std::pair<const char*, int ScreenLayout::*> kLayoutNumbers[] = {
    {"top", &ScreenLayout::top},        {"left", &ScreenLayout::left},
    {"width", &ScreenLayout::width},    {"height", &ScreenLayout::height},
    {"tree", &ScreenLayout::treeWidth}, {"struct", &ScreenLayout::structWidth},
    {"info", &ScreenLayout::infoWidth}, {"due", &ScreenLayout::dueWidth},
    {"rpanel", &ScreenLayout::rightPanel}, {"tpanel", &ScreenLayout::topPanel},
};
constexpr std::pair<const char*, int ScreenLayout::*> kHighlightColours[] = {
    {"hib", &ScreenLayout::highlightBack}, {"hit", &ScreenLayout::highlightText}};

}  // namespace

Result ScreenLayout::load() {
  PairList pairs;
  highlightBack = -1;
  highlightText = -1;
  if (Result read = LoadPairFile(path, pairs); !read) return read;
  const auto read = [this, &pairs](const auto& numbers) {
    for (const auto& [key, field] : numbers) {
      const std::size_t at = pairs.find(key);
      if (at != PairList::npos) this->*field = DecimalOr(pairs.value(at), -1);
    }
  };
  read(kLayoutNumbers);
  read(kHighlightColours);
  lastFolder = std::string(pairs.valueOf("lfs"));
  loaded = true;
  return {};
}

Result ScreenLayout::save() const {
  PairList pairs;
  for (const auto& [key, field] : kLayoutNumbers) pairs.add(key, std::to_string(this->*field));
  for (const auto& [key, field] : kHighlightColours) {
    if (this->*field != -1) pairs.add(key, std::to_string(this->*field));
  }
  if (!lastFolder.empty()) pairs.add("lfs", lastFolder);
  return SavePairFile(path, pairs, 0);
}

}  // namespace tarvo
